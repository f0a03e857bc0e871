#include "game/Winner.h"

#include "board/ScoreObj.h"
#include "game/ButtonGlyphs.h"
#include "game/RecordKeeping.h"
#include "game/SysColors.h"
#include "settings/QZ_UsrSettings.h"
#include "ui_Winner.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace stakko {

namespace {

// How far inside a screen edge a dialog goes that would cross it.
constexpr int EdgeInset = 20;

// The window's font is "System" 17 pixels bold, a bitmap font that Linux
// does not have. Its 17 pixels are the height of a line, not of the
// letters: Liberation Sans bold (the sans-serif installed as the Arial
// stand-in) at 15 pixels has that line height and, like the original,
// fits "Ihr Name:" into its 76-pixel label.
QFont DialogFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(15);
    font.setBold(true);
    return font;
}

int PlaceAxis(int ownerStart, int ownerLength, int length, int screenStart, int screenLength) {
    int start = ownerStart + (ownerLength - length) / 2; // rounds toward zero
    if (start + length > screenStart + screenLength)
        start = screenStart + screenLength - length - EdgeInset;
    else if (start < screenStart)
        start = screenStart + EdgeInset;
    return start;
}

QMargins FrameMargins(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

} // namespace

TWinnerForm::TWinnerForm(TScoreObj& score, QWidget* parent)
    : QDialog(parent), FUi(std::make_unique<Ui::TWinnerForm>()), FScoreObj(score) {
    FUi->setupUi(this);
    // A dialog border with a caption only: no close box, no system menu,
    // and no resizing.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(size());

    QPalette pal = palette();
    pal.setColor(QPalette::Window, clBtnFace());
    pal.setColor(QPalette::Button, clBtnFace());
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        pal.setColor(role, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);

    FUi->BitBtn1->setIcon(ButtonGlyph(TGlyph::Ok));
    // The OK button's own handler runs before the dialog closes with OK.
    connect(FUi->BitBtn1, &QPushButton::clicked, this, [this] {
        BitBtn1Click();
        accept();
    });
}

TWinnerForm::~TWinnerForm() = default;

QLineEdit* TWinnerForm::WinnerNameEdit() const {
    return FUi->WinnerNameEdit;
}

QPushButton* TWinnerForm::BitBtn1() const {
    return FUi->BitBtn1;
}

void TWinnerForm::BitBtn1Click() {
    FScoreObj.WinnerName = FUi->WinnerNameEdit->text();
    if (qz::TUserSettings* settings = qz::UserSettings())
        (void)StoreRecord(*settings, FScoreObj);
    FScoreObj.Show();
}

void TWinnerForm::reject() {}

void TWinnerForm::closeEvent(QCloseEvent* event) {
    event->ignore();
}

// The player types the name at once: the window takes the keyboard (also
// where no window manager hands it over), and the offered name is selected,
// so typing replaces it and the cursor keys keep it.
void TWinnerForm::showEvent(QShowEvent* event) {
    setFont(DialogFont());
    QDialog::showEvent(event);
    activateWindow();
    FUi->WinnerNameEdit->setFocus(Qt::ActiveWindowFocusReason);
    FUi->WinnerNameEdit->selectAll();
}

QPoint WinnerFormPlace(const QRect& mainWindow, const QSize& dialog, const QRect& screen) {
    return {
        PlaceAxis(mainWindow.x(), mainWindow.width(), dialog.width(), screen.x(), screen.width()),
        PlaceAxis(mainWindow.y(), mainWindow.height(), dialog.height(), screen.y(),
                  screen.height())};
}

// Frame sizes are what the rule centres. A dialog not shown yet has no
// frame; it will get the same decoration as the main window, whose frame
// stands in for it.
void PlaceWinnerForm(const QWidget& mainWindow, QWidget& dialog) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QMargins frame = FrameMargins(dialog);
    if (frame.isNull())
        frame = FrameMargins(mainWindow);
    dialog.move(WinnerFormPlace(mainWindow.frameGeometry(), dialog.size().grownBy(frame),
                                screen->geometry()));
}

} // namespace stakko
