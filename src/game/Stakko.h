#pragma once
// The main window of the game: start-up, the falling timer, the keys (the
// window sees every key before its controls), the help, the record dialog,
// the drawing of the well and the preview, and the window's layout. The
// rules are the game object's (Game.h): each key is one of its actions, and
// the window shows what it reports.
//
// The timer follows the game's state: on while Running, off while the help
// is shown, and off after the next tick once Paused or Ended. F1 opens the
// help as "&Hilfe" does.
//
// What the first frame does not show waits until it is on the screen: the
// help document and the record dialog are made right after it (or when
// they are asked for sooner). While the window is inactive the clock is
// held, so a paused, ended or inactive game does not wake the program.

#include "board/Figur.h"
#include "board/Game.h"
#include "game/GameClock.h"
#include "ui/SoundPlayer.h"

#include <QPixmap>
#include <QWidget>

#include <memory>

namespace qz {
class TAbout;
}

namespace Ui {
class T_Stakko;
}

namespace stakko {

class TScorePanel;
class TWinnerForm;

class T_Stakko : public QWidget, private TGameListener {
    Q_OBJECT
public:
    // `player` plays the sounds; without one the recordings of the program
    // are played through Qt Multimedia.
    explicit T_Stakko(std::unique_ptr<qz::SoundPlayer> player = nullptr, QWidget* parent = nullptr);
    ~T_Stakko() override;

    // Game flow.
    void NewGame();
    // Stores the record of a dialog that is still open, with the name typed
    // so far; the program is about to end or the session saves.
    void StoreOpenRecord();
    void Timer1Timer();
    // Acts on a key seen by the form; sets Key to 0 when it consumed it.
    void FormKeyDown(int& Key);
    // Leaves the help (and a pause): returns whether the help was shown.
    bool CloseHelp();

    // Drawing and layout: the well with the falling piece, and the preview.
    void PaintField();
    void PrevWindClick();
    void FormResize();

    // Sound.
    void GameSound(quint8 n);
    void SetSound(bool value);
    void ImageSoundClick();

    // Buttons.
    void InfoBtnClick();
    void HilfeButtonClick();
    void NewGameBtnClick();
    void EndBtnClick();

    // State, for the panel's later parts and for tests.
    [[nodiscard]] TGame& Game() { return *FGame; }
    [[nodiscard]] const TFigur& CurFigur() const { return FGame->CurFigur(); }
    [[nodiscard]] const TFigur& NextFigur() const { return FGame->NextFigur(); }
    [[nodiscard]] TScoreObj& ScoreObj() { return FGame->ScoreObj(); }
    [[nodiscard]] TGameClock& Timer1() { return *FTimer1; }
    // Made when first asked for: the window's first frame does not need it.
    [[nodiscard]] qz::TAbout& About1();
    [[nodiscard]] bool Stopped() const { return FGame->Stopped(); }
    [[nodiscard]] bool WithPreview() const { return FWithPreview; }
    [[nodiscard]] int CellSize() const { return FCellSize; }
    [[nodiscard]] bool WithSound() const { return FWithSound; }
    // Whether the help document is in RichEdit1 yet.
    [[nodiscard]] bool HelpLoaded() const { return FHelpLoaded; }

signals:
    // The window's first frame is on the screen and what it did not need
    // has been prepared.
    void FirstFrameShown();

protected:
    // The application-wide key hook: the form sees keys before its controls.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // The form shows no sign of having the keyboard; QWidget's handlers
    // would repaint the whole window for it.
    void focusInEvent(QFocusEvent*) override {}
    void focusOutEvent(QFocusEvent*) override {}
    // The window is about to close: FormCloseQuery stores its placement.
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormCloseQuery();
    // What the game reports.
    void WellChanged() override;
    void PreviewChanged() override;
    void StateChanged(TGameState state) override;
    void PlaySound(quint8 n) override;
    void GameEnded(bool won) override;
    bool TakeHigherStoredRecord(TScoreObj& score) override;
    QString AskWinnerName(const QString& offered) override;
    // The help and the timer as the game's state has them.
    void ShowState();
    void PaintPreview();
    bool OnApplicationMessage(QObject* receiver, QEvent* event);
    void takeFocus();
    void EnableTimer1();
    // The work put off until the first frame is shown.
    void AfterFirstFrame();
    void DescribeForScreenReaders();
    // What a screen reader says of the well.
    [[nodiscard]] QString WellInWords() const;
    void EnsureHelpLoaded();
    TWinnerForm& WinnerForm();

    std::unique_ptr<Ui::T_Stakko> FUi;
    std::unique_ptr<qz::SoundPlayer> FPlayer;
    std::unique_ptr<TScorePanel> FScorePanel;
    std::unique_ptr<TGame> FGame;
    // The record dialog, made once after the window and reused; the window
    // owns it, and it goes before the statistics it stores.
    std::unique_ptr<TWinnerForm> FWinnerForm;
    TGameClock* FTimer1 = nullptr;
    qz::TAbout* FAbout1 = nullptr;
    QPixmap SoundOnIcon;
    QPixmap SoundOffIcon;
    bool FWithSound = true;
    bool FWithPreview = true;
    // The kind the preview box shows (ENone: nothing).
    TElement FPreviewShown = ENone;
    bool FHelpLoaded = false;
    bool FFirstFramePainted = false;
    int FCellSize = 20;
};

} // namespace stakko
