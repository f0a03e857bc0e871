#include "game/GameInfo.h"

#include "game/PngPicture.h"

#include <QIconEngine>
#include <QPainter>

#include <array>

namespace stakko {

namespace {

constexpr std::array<int, 8> kIconSizes{16, 22, 24, 32, 48, 64, 128, 256};

// The icon's sizes are decoded when one is asked for and not kept: the
// window system takes each size once, and eight decoded sizes held for the
// life of the program cost about 1 MiB (the 256 pixel one alone a quarter).
class TAppIconEngine : public QIconEngine {
public:
    QIconEngine* clone() const override { return new TAppIconEngine; }
    QString key() const override { return QStringLiteral("StakkoAppIcon"); }

    // The smallest size that is at least as large, scaled down to fit; the
    // largest for anything larger.
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int wanted = std::min(size.width(), size.height());
        if (wanted <= 0)
            return {};
        int pick = kIconSizes.back();
        for (const int s : kIconSizes) {
            if (s >= wanted) {
                pick = s;
                break;
            }
        }
        const QPixmap picture = PngPicture(QStringLiteral(":/appicon/%1.png").arg(pick));
        if (pick <= wanted)
            return picture;
        return picture.scaled(wanted, wanted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const QPixmap picture = pixmap(rect.size(), mode, state);
        const QSize drawn = picture.size().scaled(rect.size(), Qt::KeepAspectRatio);
        QRect target(QPoint(), drawn);
        target.moveCenter(rect.center());
        painter->drawPixmap(target, picture);
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min({size.width(), size.height(), kIconSizes.back()});
        return side > 0 ? QSize(side, side) : QSize();
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (const int s : kIconSizes)
            sizes.append(QSize(s, s));
        return sizes;
    }
};

} // namespace

QString ApplicationTitle() {
    return QStringLiteral("Stakko");
}

QString DesktopFileName() {
    return QStringLiteral("org.example.stakko");
}

// Each size is read by the PNG reader alone (PngPicture).
QIcon ApplicationIcon() {
    return QIcon(new TAppIconEngine);
}

} // namespace stakko
