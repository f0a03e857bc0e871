#pragma once
// A paint box: a widget with its own drawing canvas. Blocks are drawn into
// the canvas (no redraw of the scene by the widget itself); a paint event
// first lets its owner draw (the Paint signal) and then shows the canvas.
// What the canvas leaves transparent shows the window behind it.
//
// The box remembers what each block of the canvas shows, so drawing a
// block as it already is costs nothing and repaints nothing: an owner may
// redraw its whole scene at every paint, and only what changed reaches the
// canvas and the screen. The blocks drawn while an event is handled share
// one painter and are shown by one repaint of the blocks that changed,
// once the event has been handled.
//
// The canvas has the screen's own pixels (device pixels): at a device
// pixel ratio of 1.5 or 2 a block shows its fill, border and light edge
// as sharp as at 1, never a scaled low-resolution picture.

#include "board/Figur.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QRegion>
#include <QWidget>

#include <memory>
#include <vector>

class QPainter;

namespace stakko {

class PaintBox : public QWidget, public TBlockSurface {
    Q_OBJECT
public:
    explicit PaintBox(QWidget* parent = nullptr);
    ~PaintBox() override;

    // The box's own colour, the background of an empty block.
    [[nodiscard]] QColor Color() const { return FColor; }
    void SetColor(const QColor& color);

    // Block colours by cell value; ENone gives the box's own colour.
    [[nodiscard]] QColor FillColor(TElement value) const;

    void DrawBlock(int x, int y, int size, TElement value) override;

    // The canvas with every block drawn so far, in device pixels (its
    // devicePixelRatio() tells the scale).
    [[nodiscard]] const QImage& Canvas();

    // Block (x, y) of edge `size` on a canvas of device pixel ratio
    // `ratio`, in device pixels, and the width of its border and light
    // edge there.
    [[nodiscard]] static QRect DeviceBlockRect(int x, int y, int size, qreal ratio);
    [[nodiscard]] static int DeviceLineWidth(qreal ratio);

signals:
    // The box needs painting: the owner redraws what it shows.
    void Paint();
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    static constexpr quint8 Unknown = 0xFF;

    // A canvas of the box's size at its device pixel ratio; a new one
    // shows nothing known.
    void EnsureCanvas();
    // Every block must be drawn again (the canvas or the colours changed).
    void ForgetShownBlocks();
    // The painter of the present batch of blocks, opened on first use.
    QPainter& BatchPainter();
    // Closes the batch; returns the region of the blocks it changed, in the
    // box's coordinates, and asks for its repaint unless the box is
    // painting.
    QRegion EndBatch();
    void PaintBlock(QPainter& painter, const QRect& r, int line, TElement value) const;
    [[nodiscard]] static QRect BlockRect(int x, int y, int size);

    QColor FColor;
    QImage FCanvas;
    // What a block shows on the canvas and what the screen was last asked
    // to show of it; a block drawn and drawn back within one batch is not
    // repainted.
    struct Cell {
        quint8 canvas;
        quint8 screen;
        bool inBatch;
    };
    // The blocks of the size drawn last, by position; a block of another
    // size covers other pixels, so a new size starts afresh.
    int FCellSize = 0;
    QHash<quint32, Cell> FCells;
    // The batch: its painter (ended before the canvas goes) and the blocks
    // it drew.
    std::unique_ptr<QPainter> FPainter;
    std::vector<quint32> FBatch;
    bool FEndPosted = false;
    bool FPainting = false;
};

} // namespace stakko
