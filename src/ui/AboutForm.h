#pragma once
// The pieces of the About box's window: the borderless dialog with its
// painted background, the text lines it shows, and the object that lets
// the window be dragged by its surface. The About box (AboutBx.h) builds
// them anew on every Execute.

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QPoint>
#include <QString>
#include <QWidget>

class QPainter;
class QRect;

namespace qz {

// The background: a vertical gradient in bands of three pixels from
// (244, 220, 196) at the top towards (242, 248, 255), each channel stepped
// in fixed point with 7 fractional bits, then a white edge two pixels wide
// along the left and top and a grey one (128, 128, 128) along the bottom
// and right. `client` is the window's client rectangle.
void PaintAboutBackground(QPainter& painter, const QRect& client);

// The font `family` at the largest pixel size whose line (ascent and
// descent) is at most `cellHeight` pixels: cell heights measured on the
// font the desktop really has, which may stand in for the one asked for.
[[nodiscard]] QFont CellHeightFont(const QString& family, int cellHeight);

// Lets a borderless window be dragged: a press of the left button notes
// where, and moves with exactly that button held carry the window along
// (handed to the window system's own move where it offers one).
class TFormHelper {
public:
    explicit TFormHelper(QWidget* form) : FForm(form) {}

    [[nodiscard]] QWidget* Form() const { return FForm; }
    [[nodiscard]] QPoint DragStart() const { return FDragStart; }
    [[nodiscard]] bool FormMoved() const { return FFormMoved; }

    // Positions are in the window's own coordinates.
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
    void MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, QPoint pos);

private:
    QWidget* FForm;
    QPoint FDragStart;
    bool FFormMoved = false;
    bool FSystemMoving = false; // the window system moves it until the button goes up
};

// Text from the system (a file, the record of the program file) for a
// TAboutLabel, shown as it is: its "&" are doubled, so that none is taken
// for an accelerator, and it is made safe to show (text/DisplayText.h).
//   LiteralLabelText("Tom & Jerry OS") == "Tom && Jerry OS"
[[nodiscard]] QString LiteralLabelText(const QString& text);

// A line of text that sizes itself to its text, draws no background and
// follows the accelerator convention: "&&" shows one "&", a single "&"
// underlines the character after it. An empty text still takes the height
// of one line. A link line also shows the hand cursor and reports clicks.
class TAboutLabel : public QWidget {
    Q_OBJECT
public:
    TAboutLabel(const QString& text, const QFont& font, QWidget* parent);

    [[nodiscard]] const QString& text() const { return FText; }
    void setColor(const QColor& color);
    // Makes the line a link `extraWidth` pixels wider than its text.
    void makeLink(int extraWidth);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString FText;
    QColor FColor = Qt::black;
    bool FLink = false;
    bool FPressed = false;
};

// The About box's window: borderless and modal, painted by
// PaintAboutBackground, dragged by its surface through a TFormHelper; it
// sees the keys before its controls, and Escape closes it with result 2
// (Cancel) and goes no further.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent);
    ~TAboutForm() override;

    [[nodiscard]] TFormHelper& FormHelper() { return FHelper; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    TFormHelper FHelper;
};

} // namespace qz
