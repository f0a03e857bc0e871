#include "ui/AboutForm.h"

#include "text/DisplayText.h"
#include "text/MsgBox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace qz {

QString LiteralLabelText(const QString& text) {
    return DisplayFragment(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

void PaintAboutBackground(QPainter& painter, const QRect& client) {
    constexpr int Band = 3;
    const int n = client.height() / Band;
    if (n == 0)
        return;
    // Edges as the window system counts them: right and bottom lie just
    // outside the rectangle.
    const int left = client.left();
    const int top = client.top();
    const int right = client.left() + client.width();
    const int bottom = client.top() + client.height();

    const int from[3] = {244, 220, 196};
    const int to[3] = {242, 248, 255};
    int channel[3], step[3];
    for (int c = 0; c < 3; ++c) {
        channel[c] = from[c] * 128;
        step[c] = ((to[c] - from[c]) * 128) / n; // truncates toward zero
    }
    for (int i = 0; i <= n; ++i) {
        const int bandTop = top + Band * i;
        const int bandBottom = qMin(bandTop + Band, bottom);
        if (bandBottom > bandTop)
            painter.fillRect(QRect(left, bandTop, right - left, bandBottom - bandTop),
                             QColor(channel[0] >> 7, channel[1] >> 7, channel[2] >> 7));
        for (int c = 0; c < 3; ++c)
            channel[c] += step[c];
    }

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::white, 2));
    painter.drawLine(left + 1, top + 1, left + 1, bottom);
    painter.drawLine(left + 1, top + 1, right, top);
    painter.setPen(QPen(QColor(128, 128, 128), 2));
    painter.drawLine(left, bottom - 1, right - 1, bottom - 1);
    painter.drawLine(right - 1, bottom - 1, right - 1, top);
    painter.restore();
}

QFont CellHeightFont(const QString& family, int cellHeight) {
    QFont font(family);
    int pixels = qMax(1, cellHeight);
    font.setPixelSize(pixels);
    while (pixels > 1 && QFontMetrics(font).height() > cellHeight)
        font.setPixelSize(--pixels);
    return font;
}

void TFormHelper::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint pos) {
    if (button != Qt::LeftButton)
        return;
    FDragStart = pos;
    FFormMoved = false;
    FSystemMoving = false;
}

void TFormHelper::MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, QPoint pos) {
    if (buttons != Qt::LeftButton || shift != Qt::NoModifier || pos == FDragStart)
        return;
    FFormMoved = true;
    // The window system moves the window where it can: Wayland lets no
    // window place itself, and a window manager on X11 moves it the way it
    // moves every other window. Without either, the window follows the
    // pointer, so the pointer stays at the start point in the window's
    // coordinates; the start is not moved.
    if (FSystemMoving)
        return;
    QWindow* window = FForm->windowHandle();
    if (window && window->startSystemMove()) {
        FSystemMoving = true;
        return;
    }
    FForm->move(FForm->pos() + (pos - FDragStart));
}

TAboutLabel::TAboutLabel(const QString& text, const QFont& font, QWidget* parent)
    : QWidget(parent), FText(text) {
    setFont(font);
    // A press on a line is the line's own, not the start of a drag.
    setAttribute(Qt::WA_NoMousePropagation);
    const QFontMetrics metrics(font);
    const QSize size = metrics.size(Qt::TextSingleLine | Qt::TextShowMnemonic, text);
    resize(size.width(), qMax(size.height(), metrics.height()));
}

void TAboutLabel::setColor(const QColor& color) {
    FColor = color;
    update();
}

void TAboutLabel::makeLink(int extraWidth) {
    FLink = true;
    resize(width() + extraWidth, height());
    setCursor(Qt::PointingHandCursor);
}

void TAboutLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(FColor);
    painter.drawText(
        rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic, FText);
}

void TAboutLabel::mousePressEvent(QMouseEvent* event) {
    FPressed = FLink && event->button() == Qt::LeftButton;
}

// A click is a press and a release of the left button on the line.
void TAboutLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = FPressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    FPressed = false;
    if (click)
        emit clicked();
}

TAboutForm::TAboutForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), FHelper(this) {
    qApp->installEventFilter(this);
}

TAboutForm::~TAboutForm() {
    qApp->removeEventFilter(this);
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        done(mrCancel);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutForm::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintAboutBackground(painter, rect());
}

void TAboutForm::mousePressEvent(QMouseEvent* event) {
    FHelper.MouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

void TAboutForm::mouseMoveEvent(QMouseEvent* event) {
    FHelper.MouseMove(event->buttons(), event->modifiers(), event->position().toPoint());
}

} // namespace qz
