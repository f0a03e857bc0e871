#include "game/Stakko.h"

#include "board/GameSounds.h"
#include "game/About1.h"
#include "game/AccessibleControls.h"
#include "game/ButtonGlyphs.h"
#include "game/HelpText.h"
#include "game/PanelStyle.h"
#include "game/PngPicture.h"
#include "game/RecordKeeping.h"
#include "game/ScorePanel.h"
#include "game/SysColors.h"
#include "game/Winner.h"
#include "settings/QZ_UsrSettings.h"
#include "text/EQZError.h"
#include "text/MsgBox.h"
#include "ui/AboutBx.h"
#include "ui/FormState.h"
#include "ui/SoundPlayer.h"
#include "ui_Stakko.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>
#include <QTimer>

// Resources of a static library must be registered by hand.
static void InitStakkoResources() {
    Q_INIT_RESOURCE(stakko);
}

namespace stakko {

namespace {

constexpr int TickMs = 1000;
constexpr int PreviewBlockSize = 20;
// The preview shows the next piece from block column 0, row 1.
constexpr int PreviewX = 0;
constexpr int PreviewY = 1;

// Every key the game knows, arrows and letters alike; the shift state is
// not looked at, so letters work in both cases.
constexpr struct {
    int key;
    TGameAction action;
} KeyTable[] = {
    {Qt::Key_Escape, TGameAction::Pause},    {Qt::Key_Space, TGameAction::Drop},
    {Qt::Key_Left, TGameAction::MoveLeft},   {Qt::Key_L, TGameAction::MoveLeft},
    {Qt::Key_Up, TGameAction::TurnBack},     {Qt::Key_U, TGameAction::TurnBack},
    {Qt::Key_Right, TGameAction::MoveRight}, {Qt::Key_R, TGameAction::MoveRight},
    {Qt::Key_Down, TGameAction::SoftDrop},   {Qt::Key_D, TGameAction::SoftDrop},
    {Qt::Key_S, TGameAction::Turn},          {Qt::Key_F1, TGameAction::ShowHelp},
};

// Qt Designer keeps point sizes only; the window's fonts are pixel sized.
QFont PixelFont(const QString& family, int pixels) {
    QFont font(family);
    font.setPixelSize(pixels);
    return font;
}

void SetBackground(QWidget* w, const QColor& color) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, color);
    pal.setColor(QPalette::Button, color);
    pal.setColor(QPalette::Base, color);
    w->setPalette(pal);
}

// The window looks the same whether it is active or not (the window
// manager's frame tells), so a change of the active window repaints none of
// it: the widgets inherit these colours.
void SameColoursWhenInactive(QWidget* w) {
    QPalette pal = w->palette();
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto r = QPalette::ColorRole(role);
        pal.setBrush(QPalette::Inactive, r, pal.brush(QPalette::Active, r));
    }
    w->setPalette(pal);
}

bool IsArrowOrActivation(int key) {
    switch (key) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

// NoAction for a key the game does not know.
TGameAction ActionOfKey(int key) {
    for (const auto& entry : KeyTable)
        if (entry.key == key)
            return entry.action;
    return TGameAction::NoAction;
}

} // namespace

T_Stakko::T_Stakko(std::unique_ptr<qz::SoundPlayer> player, QWidget* parent)
    : QWidget(parent), FUi(std::make_unique<Ui::T_Stakko>()), FPlayer(std::move(player)) {
    InitStakkoResources();
    if (!FPlayer)
        FPlayer = std::make_unique<qz::QtSoundPlayer>();
    // Form: button face, "System" 17 pixels, keys to the form first. Set
    // before the children are made, which then take them over as they are
    // made instead of being told of the change one by one.
    SetBackground(this, clBtnFace());
    SameColoursWhenInactive(this);
    setAutoFillBackground(true);
    setFont(PixelFont(QStringLiteral("System"), 17));
    FUi->setupUi(this);
    setFocusPolicy(Qt::StrongFocus);
    move(9, 102);

    FUi->FallArea->SetColor(clAppWorkSpace());
    FUi->PrevWind->SetColor(clBtnFace());
    // The panel is not tinted, so a block erased from the preview vanishes.
    // The style goes with the window's children, after the panel.
    auto* panelStyle = new PanelStyle;
    panelStyle->setParent(this);
    FUi->GroupBox1->setStyle(panelStyle);
    // The help never takes the keys (they are the game's) and offers no
    // menu: any click on it closes it.
    FUi->RichEdit1->setFocusPolicy(Qt::NoFocus);
    FUi->RichEdit1->setContextMenuPolicy(Qt::NoContextMenu);
    FUi->RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SetBackground(FUi->RichEdit1, clWindow()); // not the form's button face

    // The memo is disabled yet must read in black, like its font says.
    const QFont arial13 = PixelFont(QStringLiteral("Arial"), 13);
    FUi->Score->setFont(arial13);
    QPalette memo = FUi->Score->palette();
    memo.setColor(QPalette::Base, clBtnFace());
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        memo.setColor(g, QPalette::Text, Qt::black);
    FUi->Score->setPalette(memo);
    FUi->theBest->setFont(arial13);
    QPalette best = FUi->theBest->palette();
    best.setColor(QPalette::WindowText, Qt::black);
    FUi->theBest->setPalette(best);

    // Buttons take focus only by Tab: a click leaves the keys with the game.
    const struct {
        QAbstractButton* button;
        TGlyph glyph;
    } buttons[] = {{FUi->InfoBtn, TGlyph::Info},
                   {FUi->NewGameBtn, TGlyph::NewGame},
                   {FUi->HilfeButton, TGlyph::Help},
                   {FUi->EndBtn, TGlyph::End}};
    for (const auto& b : buttons) {
        b.button->setFocusPolicy(Qt::TabFocus);
        b.button->setIcon(ButtonGlyph(b.glyph));
    }

    DescribeForScreenReaders();

    FTimer1 = new TGameClock(this);
    FTimer1->setInterval(TickMs);
    connect(FTimer1, &TGameClock::timeout, this, &T_Stakko::Timer1Timer);
    connect(FUi->FallArea, &PaintBox::Paint, this, &T_Stakko::PaintField);
    connect(FUi->PrevWind, &PaintBox::Click, this, &T_Stakko::PrevWindClick);
    connect(FUi->ImageSound, &ClickImage::Click, this, &T_Stakko::ImageSoundClick);
    connect(FUi->InfoBtn, &QAbstractButton::clicked, this, &T_Stakko::InfoBtnClick);
    connect(FUi->NewGameBtn, &QAbstractButton::clicked, this, &T_Stakko::NewGameBtnClick);
    connect(FUi->HilfeButton, &QAbstractButton::clicked, this, &T_Stakko::HilfeButtonClick);
    connect(FUi->EndBtn, &QAbstractButton::clicked, this, &T_Stakko::EndBtnClick);

    FormCreate();
    // The record dialog is made once the first frame is shown.
}

T_Stakko::~T_Stakko() {
    qApp->removeEventFilter(this);
}

qz::TAbout& T_Stakko::About1() {
    if (!FAbout1) {
        FAbout1 = new qz::TAbout(this);
        SetUpAbout1(*FAbout1);
    }
    return *FAbout1;
}

void T_Stakko::FormCreate() {
    qz::TUserSettings* settings = qz::UserSettings();

    SoundOnIcon = PngPicture(QStringLiteral(":/icons/SoundOn.png"));
    SoundOffIcon = PngPicture(QStringLiteral(":/icons/SoundOff.png"));
    SetSound(settings
                 ? settings->readBool(QStringLiteral("_Stakko"), QStringLiteral("withSound"), true)
                 : true);
    GameSound(SoundStart);
    qApp->installEventFilter(this);

    SeedRandomFromClock();
    FScorePanel =
        std::make_unique<TScorePanel>(FUi->Score, FUi->Total, FUi->RestLines, FUi->theBest);
    TGameListener& listener = *this;
    FGame = std::make_unique<TGame>(listener, FScorePanel.get());
    TScoreObj& score = FGame->ScoreObj();
    if (settings) {
        score.WinnerName =
            settings->readString(QStringLiteral("Score"), QStringLiteral("Best"), QString());
        score.HighScore =
            settings->readInteger(QStringLiteral("Score"), QStringLiteral("Highest"), 0);
    }
    qz::RestoreFormStateByClass(this);
    // The help text is loaded right after the first frame (AfterFirstFrame).
    score.Show();
    // Laid out from the restored size before the first game is drawn: the
    // well's canvas is then made once, at the size it is shown at.
    FormResize();
    NewGame();
}

void T_Stakko::NewGame() {
    if (FTimer1->interval() != TickMs)
        FTimer1->setInterval(TickMs);
    FGame->NewGame();
    ShowState(); // a game that was running already reports no new state
}

void T_Stakko::StoreOpenRecord() {
    if (FWinnerForm && FWinnerForm->isVisible())
        FWinnerForm->BitBtn1Click();
}

void T_Stakko::Timer1Timer() {
    // The game stands still while another window (a dialog) is active, and
    // while one of ours is open even where the desktop leaves this window
    // active: a tick inside the record dialog would land pieces under it.
    if (!isActiveWindow() || QApplication::activeModalWidget())
        return;
    if (!FGame->Tick())
        FTimer1->stop();
}

// Enabling a running clock leaves its rhythm alone; QTimer::start() alone
// would begin a fresh second at every Escape.
void T_Stakko::EnableTimer1() {
    if (!FTimer1->isActive())
        FTimer1->start();
}

void T_Stakko::FormKeyDown(int& Key) {
    if (FGame->Act(ActionOfKey(Key)))
        Key = 0;
}

bool T_Stakko::CloseHelp() {
    return FGame->CloseHelp();
}

// Painting reads the game only: the well's cells, the falling piece where
// it shows, and the preview.
void T_Stakko::PaintField() {
    PaintBox* well = FUi->FallArea;
    const TField& cells = FGame->Well();
    for (int x = 0; x < TField::PlayColumns; ++x)
        for (int y = 0; y < TField::PlayRows; ++y)
            well->DrawBlock(x, y, FCellSize, cells.At(x, y));
    const TFigur& piece = FGame->CurFigur();
    if (piece.visible)
        piece.DrawOn(*well, FCellSize, piece.Typ);
    PaintPreview();
}

// The next piece in its first orientation; the kind shown before is erased
// first.
void T_Stakko::PaintPreview() {
    const TElement kind = FWithPreview ? FGame->NextFigur().Typ : ENone;
    if (FPreviewShown != ENone && FPreviewShown != kind)
        DrawShape(*FUi->PrevWind, FPreviewShown, 0, PreviewX, PreviewY, PreviewBlockSize, ENone);
    if (kind != ENone)
        DrawShape(*FUi->PrevWind, kind, 0, PreviewX, PreviewY, PreviewBlockSize, kind);
    FPreviewShown = kind;
}

void T_Stakko::WellChanged() {
    PaintField();
}

void T_Stakko::PreviewChanged() {
    PaintPreview();
}

void T_Stakko::StateChanged(TGameState) {
    ShowState();
}

void T_Stakko::PlaySound(quint8 n) {
    GameSound(n);
}

// The end shows through the state (the timer stops at its next tick) and
// the panel; the sounds came from the game.
void T_Stakko::GameEnded(bool) {}

// Another game may have stored a higher record since this one read it.
bool T_Stakko::TakeHigherStoredRecord(TScoreObj& score) {
    qz::TUserSettings* settings = qz::UserSettings();
    return settings && TakeStoredRecord(*settings, score);
}

// The dialog's OK stores name and points and shows the record line.
QString T_Stakko::AskWinnerName(const QString& offered) {
    TWinnerForm& form = WinnerForm();
    PlaceWinnerForm(*this, form);
    form.WinnerNameEdit()->setText(offered);
    form.exec();
    return form.WinnerNameEdit()->text();
}

// A pause or an end leaves the clock to stop itself at its next tick.
void T_Stakko::ShowState() {
    switch (FGame->State()) {
    case TGameState::Running:
        FUi->RichEdit1->hide();
        EnableTimer1();
        break;
    case TGameState::Help:
    case TGameState::StoppedHelp:
        EnsureHelpLoaded(); // asked for before the first frame was shown
        FTimer1->stop();
        FUi->RichEdit1->show();
        FUi->RichEdit1->raise();
        break;
    case TGameState::Paused:
    case TGameState::Ended:
        FUi->RichEdit1->hide();
        break;
    }
}

void T_Stakko::PrevWindClick() {
    FWithPreview = !FWithPreview;
    PaintPreview();
    NotifySwitched(FUi->PrevWind);
}

// The pictures get names, states and actions; the buttons and the panel's
// lines read as their texts, with a word on what each is for. The two
// switches work from the keyboard through Alt and a letter, as the buttons
// do, since every plain key belongs to the game.
void T_Stakko::DescribeForScreenReaders() {
    DescribeSwitch(
        FUi->ImageSound, tr("Ton"), tr("Klänge an oder aus (Alt+T)"), [this] { return FWithSound; },
        [this] { ImageSoundClick(); });
    DescribeSwitch(
        FUi->PrevWind, tr("Vorschau"), tr("Das nächste Teil zeigen oder verbergen (Alt+V)"),
        [this] { return FWithPreview; }, [this] { PrevWindClick(); });
    DescribeDrawing(FUi->FallArea, tr("Spielfeld"), [this] { return WellInWords(); });
    new QShortcut(QKeySequence(Qt::ALT | Qt::Key_T), this, this, &T_Stakko::ImageSoundClick);
    new QShortcut(QKeySequence(Qt::ALT | Qt::Key_V), this, this, &T_Stakko::PrevWindClick);

    FUi->Score->setAccessibleName(tr("Statistik"));
    FUi->Score->setAccessibleDescription(tr("Entfernte Reihen, Würfe und Teile"));
    FUi->Total->setAccessibleDescription(tr("Punkte dieses Spiels"));
    FUi->RestLines->setAccessibleDescription(tr("Reihen bis zum Sieg"));
    FUi->theBest->setAccessibleDescription(tr("Der Rekord und wer ihn hält"));
    FUi->InfoBtn->setAccessibleDescription(tr("Über Stakko"));
    FUi->NewGameBtn->setAccessibleDescription(tr("Ein neues Spiel beginnen"));
    FUi->HilfeButton->setAccessibleDescription(tr("Die Hilfe zum Spiel zeigen"));
    FUi->EndBtn->setAccessibleDescription(tr("Stakko beenden"));
    FUi->RichEdit1->setAccessibleName(tr("Hilfetext"));
    FUi->RichEdit1->setAccessibleDescription(tr("Escape oder ein Klick schließt die Hilfe"));
}

// "Teil T in Spalte 4, Zeile 2. noch 25 Zeilen": the falling piece by its
// letter and place (counted from 1, left and top), then the panel's line.
QString T_Stakko::WellInWords() const {
    static constexpr char Letters[] = " ILJTOZS";
    QString words;
    if (!FGame)
        return FUi->RestLines->text();
    if (FGame->Stopped())
        words = tr("Angehalten. ");
    const TFigur& figur = FGame->CurFigur();
    const TElement piece = figur.Typ;
    if (piece > ENone && piece < EFrame)
        words += tr("Teil %1 in Spalte %2, Zeile %3. ")
                     .arg(QLatin1Char(Letters[piece]))
                     .arg(figur.X + 1)
                     .arg(figur.Y + 1);
    return words + FUi->RestLines->text();
}

void T_Stakko::FormResize() {
    constexpr int PanelWidth = 190;
    constexpr int PanelHeight = 407;
    FUi->GroupBox1->setGeometry(FUi->GroupBox1->x(), 0, PanelWidth, PanelHeight);
    int clientHeight = qMax(height(), FUi->GroupBox1->y() + FUi->GroupBox1->height());
    FCellSize = (clientHeight - 4) / TField::PlayRows;

    const int wellWidth = TField::PlayColumns * FCellSize + 4;
    const int clientWidth = wellWidth + PanelWidth + 4;
    // The window manager owns a maximised window's place, so the rule that
    // centres the window on the screen cannot act: the contents are centred
    // in the screen-wide window instead, and go back to the left edge when
    // the window is restored.
    const int left = isMaximized() ? qMax(0, (width() - clientWidth) / 2) : 0;

    PaintBox* well = FUi->FallArea;
    well->setGeometry(left, 2, wellWidth, TField::PlayRows * FCellSize + 4);
    FUi->Bevel1->setGeometry(well->x() + 1, well->y() - 1, well->width() + 2, well->height() + 2);
    clientHeight = FUi->Bevel1->height() + 2 * FUi->Bevel1->y();
    FUi->GroupBox1->move(well->x() + well->width() + 2, 0);
    // A maximised window's size and place belong to the window manager
    // (asking it for another size would take the window out of that state);
    // then only the contents follow the height.
    if (!isMaximized() && size() != QSize(clientWidth, clientHeight))
        resize(clientWidth, clientHeight);
    FUi->RichEdit1->setGeometry(rect());
    well->update();
}

void T_Stakko::GameSound(quint8 n) {
    if (FWithSound && n < SoundNames.size())
        FPlayer->Play(SoundNames[n]);
}

void T_Stakko::SetSound(bool value) {
    FUi->ImageSound->setPixmap(value ? SoundOnIcon : SoundOffIcon);
    FWithSound = value;
    NotifySwitched(FUi->ImageSound);
}

void T_Stakko::ImageSoundClick() {
    SetSound(!FWithSound);
    if (qz::TUserSettings* settings = qz::UserSettings()) {
        settings->writeBool(QStringLiteral("_Stakko"), QStringLiteral("withSound"), FWithSound);
        settings->Save(); // a player's choice must survive a crash or a kill
    }
}

// The About box's answer means nothing to the game. A picture missing
// from the program ends it with an error, which the user is told about
// here: an exception must not pass through the event loop.
void T_Stakko::InfoBtnClick() {
    try {
        (void)About1().Execute();
    } catch (const qz::EQZError& e) {
        qz::MsgBox()->ErrInfo(e.message());
    }
}

void T_Stakko::HilfeButtonClick() {
    (void)FGame->Act(TGameAction::ShowHelp);
}

void T_Stakko::NewGameBtnClick() {
    FTimer1->stop();
    NewGame();
}

void T_Stakko::EndBtnClick() {
    close();
}

void T_Stakko::closeEvent(QCloseEvent* event) {
    FormCloseQuery();
    QWidget::closeEvent(event);
}

// Closing is always allowed; the font is not the user's to change here.
// Everything pending is saved before the window goes, so that a save that
// fails again is told while the window is still there. While the record
// dialog is open only the program's end closes the window: the record is
// stored with the name typed so far.
void T_Stakko::FormCloseQuery() {
    StoreOpenRecord();
    qz::SaveFormStateByClass(this, qz::wpSizeAndState | qz::wpPosition);
    (void)SaveSettingsNow(qz::UserSettings());
}

void T_Stakko::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

// The window manager may tell of a maximised window after its new size,
// and then the contents are centred now. A restored window is laid out by
// the resize that follows: laid out before it, with the maximised height,
// it would ask the window manager for a big window again.
void T_Stakko::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMaximized())
        FormResize();
    // Ticks of an inactive window do nothing: the clock need not wake the
    // program for them.
    if (event->type() == QEvent::ActivationChange)
        FTimer1->Hold(!isActiveWindow());
}

void T_Stakko::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    takeFocus();
}

// The first paint of the window puts its first frame on the screen once
// every widget has painted; what the frame did not need follows then.
void T_Stakko::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (FFirstFramePainted)
        return;
    FFirstFramePainted = true;
    QTimer::singleShot(0, this, &T_Stakko::AfterFirstFrame);
}

// One step per event, so that a key pressed meanwhile waits for one step
// at most.
void T_Stakko::AfterFirstFrame() {
    EnsureHelpLoaded();
    QTimer::singleShot(0, this, [this] {
        (void)WinnerForm();
        emit FirstFrameShown();
    });
}

void T_Stakko::EnsureHelpLoaded() {
    if (FHelpLoaded)
        return;
    FHelpLoaded = true;
    LoadHelpText(*FUi->RichEdit1);
}

TWinnerForm& T_Stakko::WinnerForm() {
    if (!FWinnerForm)
        FWinnerForm = std::make_unique<TWinnerForm>(FGame->ScoreObj(), this);
    return *FWinnerForm;
}

void T_Stakko::takeFocus() {
    if (!isVisible() || QApplication::activeModalWidget())
        return;
    activateWindow();
    setFocus(Qt::ActiveWindowFocusReason);
}

bool T_Stakko::eventFilter(QObject* watched, QEvent* event) {
    return OnApplicationMessage(watched, event) || QWidget::eventFilter(watched, event);
}

bool T_Stakko::OnApplicationMessage(QObject* receiver, QEvent* event) {
    if (!receiver->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(receiver);

    // A dialog of the program closed: the keys belong to the game again,
    // even on a desktop without a window manager to hand the focus back.
    if (event->type() == QEvent::Hide && widget != this && widget->isWindow() &&
        qobject_cast<QDialog*>(widget)) {
        QTimer::singleShot(0, this, &T_Stakko::takeFocus);
        return false;
    }

    // A click on the help text closes it.
    if (event->type() == QEvent::MouseButtonPress && widget == FUi->RichEdit1->viewport()) {
        (void)CloseHelp();
        return true;
    }

    if (event->type() != QEvent::KeyPress || widget->window() != this)
        return false;
    // A key travels from the focus widget up to its parents; the form acts
    // on it once, when it arrives at the focus widget (or at the form).
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != this)
        target = this;
    if (widget != target)
        return false;

    const int pressed = static_cast<QKeyEvent*>(event)->key();
    int key = pressed;
    FormKeyDown(key);
    if (key == 0)
        return true;
    // Space, Enter and the arrows belong to the game: a focused button must
    // not take them, not even while the game is stopped.
    return qobject_cast<QAbstractButton*>(widget) && IsArrowOrActivation(pressed);
}

} // namespace stakko
