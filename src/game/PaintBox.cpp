#include "game/PaintBox.h"

#include "game/SysColors.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include <array>
#include <cmath>

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

// A logical pixel edge on the device pixel grid.
int ToDevice(int logical, qreal ratio) {
    return int(std::lround(logical * ratio));
}

// Positions far off any canvas are not kept (nothing of them can show).
bool Keyable(int x, int y) {
    return x >= -32768 && x <= 32767 && y >= -32768 && y <= 32767;
}

quint32 Key(int x, int y) {
    return (quint32(quint16(qint16(x))) << 16) | quint16(qint16(y));
}

} // namespace

PaintBox::PaintBox(QWidget* parent) : QWidget(parent), FColor(clBtnFace()) {
    EnsureCanvas();
}

PaintBox::~PaintBox() = default;

void PaintBox::SetColor(const QColor& color) {
    if (color == FColor)
        return;
    FColor = color;
    ForgetShownBlocks(); // empty blocks now look different
}

QColor PaintBox::FillColor(TElement value) const {
    if (value == ENone || value > EFrame)
        return FColor;
    return QColor::fromRgb(ColorTable[ColorIndex[value]]);
}

QRect PaintBox::BlockRect(int x, int y, int size) {
    return QRect(x * size + Margin, y * size + Margin, size - 1, size - 1);
}

// The block's edges are the logical ones rounded to device pixels, so the
// blocks tile the canvas as they do at a ratio of 1 (with one free line,
// at least one device pixel wide, between neighbours).
QRect PaintBox::DeviceBlockRect(int x, int y, int size, qreal ratio) {
    const QRect logical = BlockRect(x, y, size);
    const int left = ToDevice(logical.left(), ratio);
    const int top = ToDevice(logical.top(), ratio);
    const int right = ToDevice(logical.left() + logical.width(), ratio);
    const int bottom = ToDevice(logical.top() + logical.height(), ratio);
    return QRect(left, top, right - left, bottom - top);
}

// One logical pixel, at least one device pixel: 2 at ratios 1.5 and 2.
int PaintBox::DeviceLineWidth(qreal ratio) {
    return qMax(1, int(std::lround(ratio)));
}

void PaintBox::EnsureCanvas() {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels(ToDevice(width(), ratio), ToDevice(height(), ratio));
    if (!FCanvas.isNull() && FCanvas.size() == pixels && FCanvas.devicePixelRatio() == ratio)
        return;
    EndBatch();
    FCanvas = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    FCanvas.setDevicePixelRatio(ratio);
    FCanvas.fill(Qt::transparent);
    ForgetShownBlocks();
}

void PaintBox::ForgetShownBlocks() {
    for (Cell& cell : FCells)
        cell.canvas = cell.screen = Unknown;
}

void PaintBox::DrawBlock(int x, int y, int size, TElement value) {
    if (size < 2 || !Keyable(x, y))
        return;
    EnsureCanvas();
    if (size != FCellSize) {
        EndBatch();
        FCells.clear();
        FCellSize = size;
    }
    auto found = FCells.find(Key(x, y));
    if (found == FCells.end())
        found = FCells.insert(Key(x, y), Cell{Unknown, Unknown, false});
    Cell& cell = found.value();
    if (cell.canvas == value)
        return; // drawn as it is already
    const qreal ratio = FCanvas.devicePixelRatio();
    PaintBlock(BatchPainter(), DeviceBlockRect(x, y, size, ratio), DeviceLineWidth(ratio), value);
    cell.canvas = value;
    if (!cell.inBatch) {
        cell.inBatch = true;
        FBatch.push_back(Key(x, y));
    }
}

QPainter& PaintBox::BatchPainter() {
    if (!FPainter) {
        FPainter = std::make_unique<QPainter>(&FCanvas);
        FPainter->setCompositionMode(QPainter::CompositionMode_Source);
        // Device pixels: the canvas's own scale is undone.
        const qreal ratio = FCanvas.devicePixelRatio();
        FPainter->setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
    }
    // While the owner redraws inside a paint event the batch ends with the
    // paint; otherwise once the present event has been handled.
    if (!FPainting && !FEndPosted) {
        FEndPosted = true;
        QMetaObject::invokeMethod(this, &PaintBox::EndBatch, Qt::QueuedConnection);
    }
    return *FPainter;
}

QRegion PaintBox::EndBatch() {
    FEndPosted = false;
    FPainter.reset();
    QRegion changed;
    for (const quint32 key : FBatch) {
        Cell& cell = FCells[key];
        cell.inBatch = false;
        if (cell.canvas == cell.screen)
            continue; // a piece erased and drawn back in place
        cell.screen = cell.canvas;
        changed += BlockRect(qint16(key >> 16), qint16(key & 0xFFFF), FCellSize);
    }
    FBatch.clear();
    if (!changed.isEmpty() && !FPainting)
        update(changed);
    return changed;
}

// A block covers s - 1 by s - 1 logical pixels, so one pixel line stays
// free between neighbours. A coloured block gets a border in the button
// shadow colour and a white light edge along its top and left side: from
// the top right corner to the top left one, then down to the bottom
// border.
void PaintBox::PaintBlock(QPainter& p, const QRect& r, int line, TElement value) const {
    if (value == ENone) {
        p.fillRect(r, FillColor(value));
        return;
    }
    p.fillRect(r, clBtnShadow());
    if (r.width() > 2 * line && r.height() > 2 * line)
        p.fillRect(r.adjusted(line, line, -line, -line), FillColor(value));
    p.fillRect(QRect(r.left(), r.top(), r.width(), qMin(line, r.height())), Qt::white);
    p.fillRect(QRect(r.left(), r.top(), qMin(line, r.width()), qMax(0, r.height() - line)),
               Qt::white);
}

const QImage& PaintBox::Canvas() {
    EnsureCanvas();
    EndBatch();
    return FCanvas;
}

void PaintBox::paintEvent(QPaintEvent* event) {
    EnsureCanvas();
    FPainting = true;
    emit Paint();
    const QRegion changed = EndBatch();
    FPainting = false;
    QPainter p(this);
    p.drawImage(QPointF(0, 0), FCanvas);
    // What the owner changed outside this paint is shown by the next one.
    const QRegion outside = changed - event->region();
    if (!outside.isEmpty())
        update(outside);
}

// Blocks drawn at the old size mean nothing at the new one; the owner
// redraws the box at its next paint.
void PaintBox::resizeEvent(QResizeEvent*) {
    EnsureCanvas();
}

void PaintBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit Click();
    QWidget::mousePressEvent(event);
}

} // namespace stakko
