#pragma once
// The few system colours the game's drawing names. They are fixed rather
// than taken from the desktop theme so that the well looks the same on
// every desktop (and so that screenshots can be checked).

#include <QColor>

namespace stakko {

inline QColor clBtnFace() {
    return QColor(240, 240, 240);
}
inline QColor clBtnShadow() {
    return QColor(160, 160, 160);
}
inline QColor clWindow() {
    return QColor(255, 255, 255);
}
inline QColor clAppWorkSpace() {
    return QColor(171, 171, 171);
}

} // namespace stakko
