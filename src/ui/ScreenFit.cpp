#include "ui/ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace qz {

namespace {

// Before the application object exists, and while the last monitor is
// being replaced, Qt knows no screen; windows are then kept within the
// smallest desktop they are laid out for.
const QRect FallbackDesktop(0, 0, 800, 600);

} // namespace

QRect GetVirtualScreenRect() {
    QRect united;
    for (const QScreen* screen : QGuiApplication::screens())
        united |= screen->geometry();
    if (!united.isEmpty())
        return united;
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        const QRect available = primary->availableGeometry();
        if (!available.isEmpty())
            return available;
    }
    return FallbackDesktop;
}

QRect FitRectToScreen(int left, int top, int width, int height, const QRect& virtualScreen) {
    const QRect v = virtualScreen.isEmpty() ? FallbackDesktop : virtualScreen;
    const qint64 vRight = qint64(v.x()) + v.width();
    const qint64 vBottom = qint64(v.y()) + v.height();

    const qint64 w = std::clamp<qint64>(width, 0, v.width());
    const qint64 h = std::clamp<qint64>(height, 0, v.height());
    qint64 x = left;
    qint64 y = top;
    if (x + w > vRight)
        x = vRight - w;
    if (y + h > vBottom)
        y = vBottom - h;
    x = std::max<qint64>(x, v.x());
    y = std::max<qint64>(y, v.y());
    // Every value now lies within the desktop, so it fits an int again.
    return QRect(int(x), int(y), int(w), int(h));
}

QRect FitRectToScreen(const QRect& rect, const QRect& virtualScreen) {
    return FitRectToScreen(rect.x(), rect.y(), rect.width(), rect.height(), virtualScreen);
}

QRect FitRectToScreen(const QRect& rect) {
    return FitRectToScreen(rect, GetVirtualScreenRect());
}

void FitFormToScreen(QWidget* form) {
    const QRect fitted = FitRectToScreen(QRect(form->pos(), form->size()));
    form->move(fitted.topLeft());
    form->resize(fitted.size());
}

} // namespace qz
