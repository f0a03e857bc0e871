#include "ui/AboutPictures.h"

#include "text/EQZError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QPainter>

namespace qz {

namespace {

QImage KeyedOut(QImage image, QRgb key) {
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] | 0xFF000000u) == (key | 0xFF000000u))
                line[x] = qRgba(0, 0, 0, 0);
    }
    return image;
}

QImage DrawnOn(const QIcon& icon, const QSize& size, const QColor& fill) {
    QImage image(size, QImage::Format_RGB888);
    image.fill(fill);
    QPainter painter(&image);
    icon.paint(&painter, QRect(QPoint(0, 0), size));
    return image;
}

} // namespace

QPixmap IconPicture(const QIcon& icon, const QSize& size) {
    if (icon.isNull() || size.isEmpty())
        return {};
    QImage image = DrawnOn(icon, size, Qt::white);
    QRgb key = image.pixel(0, size.height() - 1);
    if (qRgb(qRed(key), qGreen(key), qBlue(key)) == qRgb(255, 255, 255)) {
        image = DrawnOn(icon, size, QColor(254, 255, 255));
        key = image.pixel(0, size.height() - 1);
    }
    return QPixmap::fromImage(KeyedOut(image, key));
}

QPixmap TransparentPicture(const QImage& image) {
    if (image.isNull() || image.hasAlphaChannel())
        return QPixmap::fromImage(image);
    return QPixmap::fromImage(KeyedOut(image, image.pixel(0, image.height() - 1)));
}

QImage LoadBitmapResource(const QString& name) {
    const QDir bitmaps(QStringLiteral(":/bitmaps"));
    for (const QFileInfo& entry : bitmaps.entryInfoList(QDir::Files)) {
        if (entry.completeBaseName().compare(name, Qt::CaseInsensitive) != 0)
            continue;
        QImage image(entry.filePath());
        if (!image.isNull())
            return image;
    }
    throw EQZError(
        QCoreApplication::translate("qz::AboutPictures", "Ressource %1 nicht gefunden").arg(name));
}

} // namespace qz
