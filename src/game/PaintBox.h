#pragma once
// A paint box: a widget with its own drawing canvas. Blocks are drawn into
// the canvas at once (immediate drawing, no redraw of the scene by the
// widget itself); a paint event first lets its owner draw (the Paint
// signal) and then shows the canvas. What the canvas leaves transparent
// shows the window behind it.

#include "game/Figur.h"

#include <QColor>
#include <QImage>
#include <QWidget>

namespace stakko {

class PaintBox : public QWidget, public TBlockSurface {
    Q_OBJECT
public:
    explicit PaintBox(QWidget* parent = nullptr);

    // The box's own colour, the background of an empty block.
    [[nodiscard]] QColor Color() const { return FColor; }
    void SetColor(const QColor& color) { FColor = color; }

    // Block colours by cell value; ENone gives the box's own colour.
    [[nodiscard]] QColor FillColor(TElement value) const;

    void DrawBlock(int x, int y, int size, TElement value) override;

    [[nodiscard]] const QImage& Canvas() const { return FCanvas; }

signals:
    // The box needs painting: the owner redraws what it shows.
    void Paint();
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QColor FColor;
    QImage FCanvas;
    bool FPainting = false;
};

} // namespace stakko
