#pragma once
// Keeps windows on the visible desktop: a rectangle is shrunk to the
// desktop where it is larger and moved so that it lies fully on it. The
// desktop is the bounding box of all monitors.
//
//   form->setGeometry(qz::FitRectToScreen(storedBounds));

#include <QRect>

class QWidget;

namespace qz {

// The bounding box of all screens; the primary screen's available area
// when that is empty. Never empty: with no screen known at all it is a
// plain 800 x 600 desktop at the origin.
[[nodiscard]] QRect GetVirtualScreenRect();

// Fits (left, top, width, height) onto `virtualScreen`: the size is cut to
// the desktop's, then the rectangle is moved left/up until it ends at the
// desktop's right/bottom edge and right/down until it starts at its
// left/top edge. Values straight from a settings file are safe here: the
// sums are formed in 64 bits, and a negative width or height, which no
// window can have, counts as 0. An empty `virtualScreen` stands for the
// 800 x 600 fallback desktop.
//   FitRectToScreen(100, 50, 5000, 300, QRect(0, 0, 1920, 1080)) == QRect(0, 50, 1920, 300)
[[nodiscard]] QRect FitRectToScreen(int left, int top, int width, int height,
                                    const QRect& virtualScreen);
[[nodiscard]] QRect FitRectToScreen(const QRect& rect, const QRect& virtualScreen);

// The same against the current desktop (GetVirtualScreenRect).
[[nodiscard]] QRect FitRectToScreen(const QRect& rect);

// Moves and shrinks a top-level window so that it lies on the desktop.
// Its position is that of its frame (QWidget::pos), its size that of its
// content (QWidget::size): the pair that move() and resize() take back.
void FitFormToScreen(QWidget* form);

} // namespace qz
