#include "board/Game.h"

#include "board/GameSounds.h"

#include <utility>

namespace stakko {

namespace {

// A piece that lands with its row above DangerRow warns of a high stack;
// one that lands below SafeRow ends the warning.
constexpr int DangerRow = 8;
constexpr int SafeRow = 13;

} // namespace

// The well starts empty; its frame comes with the first new game.
TGame::TGame(TGameListener& listener, TScoreView* scoreView)
    : FListener(listener), FScoreObj(scoreView) {
    Field.ClearPlayingArea();
}

bool TGame::Stopped() const {
    return FState == TGameState::Paused || FState == TGameState::Ended ||
           FState == TGameState::StoppedHelp;
}

bool TGame::HelpShown() const {
    return FState == TGameState::Help || FState == TGameState::StoppedHelp;
}

void TGame::SetState(TGameState state) {
    if (state == FState)
        return;
    FState = state;
    FListener.StateChanged(state);
}

void TGame::NewGame() {
    FCurFigur.init(ENone);
    FNextFigur.init(ENone);
    ClearField();
    Next(); // with no falling piece this only draws the first kind
    FDangerWarned = false;
    SetState(TGameState::Running);
    Next(); // the first kind falls, a second one is next
    ShowCurFigur();
    ReportChanges();
}

void TGame::ClearField() {
    Field.Reset();
    FWellChanged = true;
    FScoreObj.init();
}

bool TGame::Act(TGameAction action) {
    // The help is asked for the same way in every state.
    if (action == TGameAction::ShowHelp) {
        SetState(Stopped() ? TGameState::StoppedHelp : TGameState::Help);
        return true;
    }
    if (Stopped()) {
        if (action != TGameAction::Pause)
            return false;
        // Resuming gives the key back, unless it closed the help too.
        const bool helpClosed = FState == TGameState::StoppedHelp;
        SetState(TGameState::Running);
        return helpClosed;
    }
    if (action == TGameAction::Pause && FState == TGameState::Help) {
        SetState(TGameState::Running);
        return true; // Escape closed the help and is used up
    }

    switch (action) {
    case TGameAction::Pause:
        SetState(TGameState::Paused);
        break;
    case TGameAction::Drop:
        Drop();
        break;
    case TGameAction::NoAction:
        break;
    default:
        Move(action);
        break;
    }
    // A key the game does not know still shows a piece that a landing
    // left undrawn.
    ShowCurFigur();
    ReportChanges();
    return action != TGameAction::NoAction;
}

void TGame::Move(TGameAction action) {
    FWellChanged = true;
    switch (action) {
    case TGameAction::MoveLeft:
        FCurFigur.MovHoriz(-1);
        break;
    case TGameAction::MoveRight:
        FCurFigur.MovHoriz(1);
        break;
    case TGameAction::TurnBack:
        FCurFigur.Rotate(-1);
        break;
    case TGameAction::Turn:
        FCurFigur.Rotate(1);
        break;
    case TGameAction::SoftDrop:
        // A soft drop moves the piece only: no points and no landing.
        if (FCurFigur.CanFallDown())
            ++FCurFigur.Y;
        break;
    default:
        break;
    }
}

// One point per drop, whatever the height; a piece that cannot fall stays
// where it is and lands at the next tick.
void TGame::Drop() {
    int rows = 0;
    while (FCurFigur.CanFallDown()) {
        ++FCurFigur.Y;
        ++rows;
    }
    if (rows == 0)
        return;
    FScoreObj.AddPiece(cDrop, 1);
    FWellChanged = true;
    Land();
}

bool TGame::CloseHelp() {
    const bool wasShown = HelpShown();
    SetState(TGameState::Running);
    return wasShown;
}

bool TGame::Tick() {
    if (FCurFigur.CanFallDown()) {
        ++FCurFigur.Y;
        FWellChanged = true;
        ShowCurFigur();
    } else {
        Land();
    }
    ReportChanges();
    return !Stopped();
}

void TGame::FigurLanded() {
    Land();
    ReportChanges();
}

void TGame::NextFigure() {
    Next();
    ReportChanges();
}

void TGame::Land() {
    FScoreObj.AddPiece(cPiece, 1);
    if (FCurFigur.Y < DangerRow && !FDangerWarned) {
        FListener.PlaySound(SoundDanger);
        FDangerWarned = true;
    } else if (FCurFigur.Y > SafeRow) {
        FDangerWarned = false;
    }
    Next();
}

// The new piece is not shown until the next key or fall step.
void TGame::Next() {
    FCurFigur.InsertE(this);
    FCurFigur.init(FNextFigur.Typ);
    if (FCurFigur.Fit() && FScoreObj.CompletedLines < RowsToWin)
        RenewNextFigur(RandomElement());
    else
        EndGame(); // the next kind is not renewed at the end
    FWellChanged = true;
}

void TGame::RenewNextFigur(TElement kind) {
    FNextFigur.init(kind);
    FNextFigur.X = 0;
    FPreviewChanged = true;
}

void TGame::EndGame() {
    SetState(HelpShown() ? TGameState::StoppedHelp : TGameState::Ended);
    const bool won = FScoreObj.CompletedLines >= RowsToWin;
    if (!won)
        FListener.PlaySound(SoundLost);
    else if (BeatsRecord())
        NewRecord();
    // A won game without a record simply ends.
    FListener.GameEnded(won);
}

// Only the points of a won game strictly above the record make one; a
// higher record another game stored meanwhile is the one to beat, and the
// panel shows it.
bool TGame::BeatsRecord() {
    if (FScoreObj.Sum <= FScoreObj.HighScore)
        return false;
    if (!FListener.TakeHigherStoredRecord(FScoreObj))
        return true;
    FScoreObj.Show();
    return FScoreObj.Sum > FScoreObj.HighScore;
}

// The panel keeps the old record line until the name is given.
void TGame::NewRecord() {
    FListener.PlaySound(SoundRecord);
    FScoreObj.HighScore = FScoreObj.Sum;
    FScoreObj.WinnerName = FListener.AskWinnerName(FScoreObj.WinnerName);
    FScoreObj.Show();
}

void TGame::RowsRemoved(int count) {
    // One piece completes at most four rows.
    const int rows = qBound(1, count, 4);
    FListener.PlaySound(quint8(rows));
    FScoreObj.CountCompletedLine(TCount(rows - 1));
}

void TGame::SetPieces(TElement current, TElement next) {
    FCurFigur.init(current);
    FCurFigur.visible = current != ENone;
    RenewNextFigur(next);
    FWellChanged = true;
    ReportChanges();
}

void TGame::ShowCurFigur() {
    if (FCurFigur.Typ == ENone || FCurFigur.visible)
        return;
    FCurFigur.visible = true;
    FWellChanged = true;
}

// Told once per action: a drop that lands and brings in the next piece
// redraws the well once.
void TGame::ReportChanges() {
    if (std::exchange(FWellChanged, false))
        FListener.WellChanged();
    if (std::exchange(FPreviewChanged, false))
        FListener.PreviewChanged();
}

} // namespace stakko
