#pragma once
// A window comes back where the user left it: its position, size and
// maximized state (and its font, when asked for) are stored in the
// settings section named after its class when it closes, and applied,
// fitted onto the desktop, when it is created.
//
//   RestoreFormStateByClass(this);                        // while being built
//   SaveFormStateByClass(this, wpSizeAndState | wpPosition); // when closing
//
// In Qt terms "Left" and "Top" are the position of the window's frame
// (QWidget::pos, what move() takes) and "Width" and "Height" the size of
// its content (QWidget::size, what resize() takes), so that restoring
// what was saved gives the same window again.

#include <QFlags>
#include <QString>
#include <QtGlobal>

class QWidget;

namespace qz {

// What SaveFormState writes.
enum TFormStatePart : int {
    wpSizeAndState = 1, // "WinState", "Width", "Height"
    wpPosition = 2,     // "Left", "Top"
    wpFont = 4,         // "Font", "Fontsize", "Fontstyle", "CharSet"
};
Q_DECLARE_FLAGS(TFormStateParts, TFormStatePart)

// The stored window state.
enum TWindowState : int { wsNormal = 0, wsMinimized = 1, wsMaximized = 2 };

// Style bits of the stored font; the stored number is their sum.
enum TFontStyleBit : int { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
Q_DECLARE_FLAGS(TFontStyle, TFontStyleBit)

// The settings section of a window: its class name without namespace and
// first letter, so stakko::T_Stakko keeps its values in "_Stakko". The
// class must carry Q_OBJECT, or Qt reports the name of its base class.
[[nodiscard]] QString FormSectionName(const QWidget* form);

// Applies the placement stored in `section` of UserSettings() to `form`
// and returns the window state it applied. Missing values keep the
// window's own, and so do a width or height of 0 or below and a font size
// outside 6 to 72; a size below the smallest that shows the window's
// contents is raised to it. Without a settings object only the fitting
// happens.
TWindowState RestoreFormState(QWidget* form, const QString& section);
TWindowState RestoreFormStateByClass(QWidget* form);

// Writes the parts `what` of `form` to `section`.
// Size and position are written only for a visible window in the normal
// state, so a window closed maximized keeps its earlier normal bounds. On
// Wayland, where no window knows its position, the stored one is kept.
void SaveFormState(const QWidget* form, TFormStateParts what, const QString& section);
void SaveFormStateByClass(const QWidget* form, TFormStateParts what);

// Qt fonts carry no character set; the stored number is kept on the window
// under this property so that saving writes back what was read.
inline constexpr char CharSetProperty[] = "qzCharSet";

} // namespace qz

Q_DECLARE_OPERATORS_FOR_FLAGS(qz::TFormStateParts)
Q_DECLARE_OPERATORS_FOR_FLAGS(qz::TFontStyle)
