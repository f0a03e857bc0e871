#include "game/PaintBox.h"

#include "game/SysColors.h"

#include <QMouseEvent>
#include <QPainter>

#include <array>

namespace stakko {

namespace {

// Blocks sit 4 pixels from the top left corner of their box.
constexpr int Margin = 4;

// Sixteen colours; ColorIndex picks one per cell value. ENone has no entry
// of its own: it is drawn in the box's colour.
const std::array<QRgb, 16> ColorTable = {
    qRgb(0, 0, 0),       qRgb(0, 0, 255),     qRgb(0, 192, 0),   qRgb(0, 192, 192),
    qRgb(192, 0, 0),     qRgb(160, 192, 0),   qRgb(255, 128, 0), qRgb(255, 255, 0),
    qRgb(255, 128, 192), qRgb(128, 128, 128), qRgb(0, 0, 128),   qRgb(0, 128, 0),
    qRgb(0, 128, 128),   qRgb(128, 0, 0),     qRgb(128, 0, 128), qRgb(255, 255, 255)};
const std::array<int, 9> ColorIndex = {0, 1, 2, 3, 4, 5, 6, 7, 8};

} // namespace

PaintBox::PaintBox(QWidget* parent) : QWidget(parent), FColor(clBtnFace()) {
    FCanvas = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    FCanvas.fill(Qt::transparent);
}

QColor PaintBox::FillColor(TElement value) const {
    if (value == ENone || value > EFrame)
        return FColor;
    return QColor::fromRgb(ColorTable[ColorIndex[value]]);
}

// A block covers s - 1 by s - 1 pixels, so one pixel line stays free
// between neighbours. A coloured block gets a border in the button shadow
// colour and a white light edge along its top and left side.
void PaintBox::DrawBlock(int x, int y, int size, TElement value) {
    if (size < 2)
        return;
    const int left = x * size + Margin;
    const int top = y * size + Margin;
    const int edge = size - 1;
    const QColor fill = FillColor(value);
    {
        QPainter p(&FCanvas);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        if (value == ENone) {
            p.fillRect(left, top, edge, edge, fill);
        } else {
            p.fillRect(left, top, edge, edge, clBtnShadow());
            if (edge > 2)
                p.fillRect(left + 1, top + 1, edge - 2, edge - 2, fill);
            // Light edge: from the top right corner to the top left one,
            // then down to just above the bottom left corner.
            p.fillRect(left, top, edge, 1, Qt::white);
            p.fillRect(left, top, 1, edge - 1, Qt::white);
        }
    }
    // While the owner redraws inside a paint event the canvas is shown
    // right after; asking for another paint then would never end.
    if (!FPainting)
        update(left, top, edge, edge);
}

void PaintBox::paintEvent(QPaintEvent*) {
    FPainting = true;
    emit Paint();
    FPainting = false;
    QPainter p(this);
    p.drawImage(0, 0, FCanvas);
}

// Blocks drawn at the old size mean nothing at the new one; the owner
// redraws the box at its next paint.
void PaintBox::resizeEvent(QResizeEvent*) {
    if (FCanvas.size() == size())
        return;
    FCanvas = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    FCanvas.fill(Qt::transparent);
}

void PaintBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit Click();
    QWidget::mousePressEvent(event);
}

} // namespace stakko
