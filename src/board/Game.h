#pragma once
// The rules of one game without its window: the well, the falling and the
// next piece, the statistics and the state of play. The window turns keys
// and clock ticks into the actions below and shows what the game reports
// to its listener; the game itself draws nothing and needs no widgets.
//
//   Running --Pause--> Paused --Pause--> Running
//   Running --ShowHelp--> Help --Pause or CloseHelp--> Running
//   Paused, Ended --ShowHelp--> StoppedHelp --Pause or CloseHelp--> Running
//   a new piece that does not fit, or the rows to win: Ended (StoppedHelp
//   when it happens behind the help); NewGame from every state: Running
//
// A pause or an end stops the clock only after its next tick, which still
// makes its fall step (Tick says when the clock may stop).

#include "board/Figur.h"
#include "board/ScoreObj.h"

#include <QString>
#include <QtGlobal>

namespace stakko {

enum class TGameState : quint8 {
    Running,     // the piece falls and the keys act
    Help,        // the help covers the game: nothing falls, the keys still act
    Paused,      // nothing acts but Escape, which resumes
    Ended,       // as Paused; resuming plays on from the board
    StoppedHelp, // the help over a paused or ended game; closing it resumes
};

// What a key asks of the game. NoAction is a key the game does not know:
// it only shows the falling piece.
enum class TGameAction : quint8 {
    NoAction,
    MoveLeft,
    MoveRight,
    TurnBack, // the up-arrow and U
    Turn,     // S, the other way round
    SoftDrop,
    Drop,
    Pause, // pause or resume; with the help shown, close it
    ShowHelp,
};

// Told what changed, in the order it happened.
class TGameListener {
public:
    virtual ~TGameListener() = default;
    // The well's cells or the falling piece (its place, whether it shows).
    virtual void WellChanged() = 0;
    // The kind of the next piece.
    virtual void PreviewChanged() = 0;
    virtual void StateChanged(TGameState state) = 0;
    // Sound number `n` of GameSounds.h.
    virtual void PlaySound(quint8 n) = 0;
    // The game is over: won with the rows to win, or lost because a new
    // piece did not fit before.
    virtual void GameEnded(bool won) = 0;
    // A won game beat the record `score` knows. Another game may have
    // stored a higher one meanwhile: then the listener takes it into
    // `score` and returns true.
    virtual bool TakeHigherStoredRecord(TScoreObj& score) = 0;
    // The game made a new record: the name of its holder, `offered` (the
    // previous holder's) suggested.
    virtual QString AskWinnerName(const QString& offered) = 0;
};

class TGame : private TRowsRemovedSink {
public:
    // `scoreView` shows the statistics (may be null).
    TGame(TGameListener& listener, TScoreView* scoreView);
    TGame(const TGame&) = delete;
    TGame& operator=(const TGame&) = delete;

    [[nodiscard]] TGameState State() const { return FState; }
    // Paused, ended, or the help over either: only Escape acts.
    [[nodiscard]] bool Stopped() const;
    [[nodiscard]] bool HelpShown() const;
    [[nodiscard]] bool DangerWarned() const { return FDangerWarned; }
    // The one well of the program: only the game changes it.
    [[nodiscard]] const TField& Well() const { return Field; }
    [[nodiscard]] const TFigur& CurFigur() const { return FCurFigur; }
    // Kept in its place in the preview: block column 0, row 1, turned 0.
    [[nodiscard]] const TFigur& NextFigur() const { return FNextFigur; }
    [[nodiscard]] TScoreObj& ScoreObj() { return FScoreObj; }
    [[nodiscard]] const TScoreObj& ScoreObj() const { return FScoreObj; }

    // A fresh well and statistics, two new pieces, Running.
    void NewGame();
    // Acts on a key's action; returns whether the key was used up (a key
    // the game does not know, or any key while stopped, is given back).
    bool Act(TGameAction action);
    // Closes the help and ends a pause (a click on the help); returns
    // whether the help was shown.
    bool CloseHelp();
    // One clock tick: the piece falls a row or lands. Returns whether the
    // clock is to go on ticking.
    bool Tick();

    // The landing of the falling piece: counted, the danger warning, then
    // the next piece.
    void FigurLanded();
    // Fixes the falling piece into the well, brings in the next one and
    // tests for the end of the game.
    void NextFigure();
    // A known position for drivers and tests: `current` at its start
    // position and shown, `next` in the preview.
    void SetPieces(TElement current, TElement next);

private:
    void RowsRemoved(int count) override;
    void SetState(TGameState state);
    // A fresh well and fresh counters.
    void ClearField();
    void Move(TGameAction action);
    void Drop();
    void Land();
    void Next();
    void ReportChanges();
    void EndGame();
    [[nodiscard]] bool BeatsRecord();
    void NewRecord();
    void RenewNextFigur(TElement kind);
    // The falling piece shows again after a key or a fall step.
    void ShowCurFigur();

    TGameListener& FListener;
    TFigur FCurFigur{nullptr};
    TFigur FNextFigur{nullptr};
    TScoreObj FScoreObj;
    TGameState FState = TGameState::Running;
    bool FDangerWarned = false;
    // Changes not told yet.
    bool FWellChanged = false;
    bool FPreviewChanged = false;
};

} // namespace stakko
