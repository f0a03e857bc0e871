// The rules of a game without a window: actions, ticks, landing, the end,
// and the states of play.
#include "board/Game.h"

#include "board/GameSounds.h"
#include "common/TestHelpers.h"

#include <QStringList>

#include <algorithm>
#include <vector>

using namespace stakko;

namespace {

class RecordingListener : public TGameListener {
public:
    QStringList sounds;
    std::vector<TGameState> states;
    std::vector<bool> ends;

    void WellChanged() override {}
    void PreviewChanged() override {}
    void StateChanged(TGameState state) override { states.push_back(state); }
    void PlaySound(quint8 n) override { sounds.append(SoundNames.at(n)); }
    void GameEnded(bool won) override { ends.push_back(won); }
    bool TakeHigherStoredRecord(TScoreObj&) override { return false; }
    QString AskWinnerName(const QString& offered) override { return offered; }
};

void FillRowExcept(int y, std::initializer_list<int> gaps) {
    for (int x = 0; x < TField::PlayColumns; ++x)
        Field.Set(x, y, std::find(gaps.begin(), gaps.end(), x) == gaps.end() ? EL : ENone);
}

// A running game on an empty well: the square falling, the straight piece
// next.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override {
        SeedRandom(1);
        game.NewGame();
        Field.Reset();
        game.SetPieces(EO, EI);
        listener = RecordingListener();
    }

    int Count(TCount c) const { return game.ScoreObj().LineCounter[c]; }
    const TFigur& Piece() const { return game.CurFigur(); }

    // The next piece cannot enter: the game ends, lost.
    void EndTheGame() {
        Field.Set(4, 2, EL); // blocks the start place of the square
        game.SetPieces(ENone, EO);
        game.NextFigure();
    }

    RecordingListener listener;
    TGame game{listener, nullptr};
};

} // namespace

TEST_F(GameTest, DropCountsOnceWhateverTheHeightAndLandsThePiece) {
    EXPECT_TRUE(game.Act(TGameAction::Drop));
    EXPECT_EQ(Count(cDrop), 1);
    EXPECT_EQ(Count(cPiece), 1);
    EXPECT_EQ(Field.At(4, 18), EO);
    EXPECT_EQ(Field.At(5, 19), EO);
    EXPECT_EQ(Piece().Typ, EI) << "the next piece came in";
    EXPECT_EQ(Piece().Y, 1);
    EXPECT_TRUE(Piece().visible) << "after a drop the new piece shows at once";

    // One row of fall is a drop too.
    Field.Reset();
    Field.Set(4, 4, EL);
    game.SetPieces(EO, EI);
    game.Act(TGameAction::Drop);
    EXPECT_EQ(Count(cDrop), 2);
    EXPECT_EQ(Count(cPiece), 2);
    EXPECT_EQ(Field.At(4, 2), EO);
    EXPECT_EQ(Field.At(4, 3), EO);
    EXPECT_EQ(game.ScoreObj().TotalText(), QStringLiteral("4 total"));
}

TEST_F(GameTest, DropOnARestingPieceDoesNothingAndTheTickLandsIt) {
    Field.Set(4, 3, EL);
    const auto before = Field.Bytes();
    EXPECT_TRUE(game.Act(TGameAction::Drop)) << "Space is the game's even then";
    EXPECT_EQ(Count(cDrop), 0);
    EXPECT_EQ(Count(cPiece), 0);
    EXPECT_EQ(Field.Bytes(), before);
    EXPECT_EQ(Piece().Typ, EO);

    (void)game.Tick();
    EXPECT_EQ(Count(cPiece), 1);
    EXPECT_EQ(Field.At(4, 1), EO);
    EXPECT_EQ(Piece().Typ, EI);
}

TEST_F(GameTest, ActionsMoveTurnAndLowerThePiece) {
    game.SetPieces(ET, EI);
    game.Act(TGameAction::MoveLeft);
    EXPECT_EQ(Piece().X, 2);
    game.Act(TGameAction::MoveRight);
    game.Act(TGameAction::MoveRight);
    EXPECT_EQ(Piece().X, 4);
    game.Act(TGameAction::TurnBack);
    EXPECT_EQ(Piece().Spin, 3);
    game.Act(TGameAction::Turn);
    game.Act(TGameAction::Turn);
    EXPECT_EQ(Piece().Spin, 1);
    game.Act(TGameAction::TurnBack);
    EXPECT_EQ(Piece().Spin, 0);
    game.Act(TGameAction::SoftDrop);
    game.Act(TGameAction::SoftDrop);
    EXPECT_EQ(Piece().Y, 3);
    EXPECT_EQ(Count(cDown), 0) << "a soft drop counts nothing";
    EXPECT_EQ(Count(cPiece), 0);

    // A piece brought in by a tick shows at the next step or key, any key.
    while (Count(cPiece) == 0)
        ASSERT_TRUE(game.Tick());
    EXPECT_FALSE(Piece().visible);
    EXPECT_FALSE(game.Act(TGameAction::NoAction)) << "a key the game does not know is given back";
    EXPECT_TRUE(Piece().visible);
}

TEST_F(GameTest, APauseLetsTheTickMakeItsFallStepThenStopsTheClock) {
    EXPECT_TRUE(game.Act(TGameAction::Pause));
    EXPECT_EQ(game.State(), TGameState::Paused);
    EXPECT_FALSE(game.Tick()) << "the clock stops after this tick";
    EXPECT_EQ(Piece().Y, 2) << "the tick still makes its fall step";

    // Nothing but Escape acts while stopped, and nothing is used up.
    EXPECT_FALSE(game.Act(TGameAction::MoveLeft));
    EXPECT_FALSE(game.Act(TGameAction::Drop));
    EXPECT_EQ(Piece().X, 3);
    EXPECT_EQ(Count(cDrop), 0);

    EXPECT_FALSE(game.Act(TGameAction::Pause)) << "resuming gives Escape back";
    EXPECT_EQ(game.State(), TGameState::Running);
    EXPECT_TRUE(game.Tick());
}

TEST_F(GameTest, FourRowsAtOnceSoundAndCountAsStakko) {
    for (int y = 16; y < 20; ++y)
        FillRowExcept(y, {0});
    game.SetPieces(EI, EO);
    game.Act(TGameAction::TurnBack); // upright in column 4
    for (int i = 0; i < 4; ++i)
        game.Act(TGameAction::MoveLeft);
    ASSERT_EQ(Piece().X, -1);
    game.Act(TGameAction::Drop);
    EXPECT_EQ(listener.sounds, QStringList{QStringLiteral("klingel1")});
    EXPECT_EQ(Count(cL4), 1);
    EXPECT_EQ(game.ScoreObj().CompletedLines, 4);
    EXPECT_EQ(game.ScoreObj().Sum, 1202);
    EXPECT_EQ(Field.At(0, 19), ENone);
}

TEST_F(GameTest, DangerSoundsOnceForAHighStackBeforeTheRowSound) {
    // Rows 3 and 4 miss the square's two columns; rows 5..19 are not full.
    for (int y = 5; y < 20; ++y)
        FillRowExcept(y, {8});
    FillRowExcept(3, {4, 5});
    FillRowExcept(4, {4, 5});
    game.Act(TGameAction::Drop);
    EXPECT_EQ(listener.sounds, (QStringList{QStringLiteral("gefahr"), QStringLiteral("xylophon")}));
    EXPECT_TRUE(game.DangerWarned());
    EXPECT_EQ(Count(cL2), 1);

    // The straight piece lands high again (row 4): silent.
    listener.sounds.clear();
    game.Act(TGameAction::Drop);
    EXPECT_EQ(Count(cPiece), 2);
    EXPECT_TRUE(listener.sounds.isEmpty());

    // A landing in row 13 keeps the warning, one in row 14 ends it.
    for (const auto& [stop, warned] : {std::pair{15, true}, std::pair{16, false}}) {
        Field.Reset();
        Field.Set(4, stop, EL);
        game.SetPieces(EO, EI);
        game.Act(TGameAction::Drop);
        EXPECT_EQ(game.DangerWarned(), warned) << "landed in row " << stop - 2;
    }
}

TEST_F(GameTest, TheTwentyFifthRowEndsTheGameEvenIfTheNextPieceFits) {
    game.ScoreObj().HighScore = 100000; // not beaten: no record
    game.ScoreObj().CompletedLines = 23;
    FillRowExcept(18, {4, 5});
    FillRowExcept(19, {4, 5});
    game.Act(TGameAction::Drop);
    EXPECT_EQ(game.ScoreObj().CompletedLines, 25);
    EXPECT_EQ(game.State(), TGameState::Ended);
    EXPECT_EQ(listener.ends, std::vector<bool>{true});
    EXPECT_TRUE(Piece().Fit());
    EXPECT_EQ(listener.sounds, QStringList{QStringLiteral("xylophon")})
        << "won without a record: no end sound";
    EXPECT_EQ(game.ScoreObj().RestLinesText(), QStringLiteral("noch 0 Zeilen"));
    EXPECT_FALSE(game.Tick());
}

TEST_F(GameTest, APieceThatDoesNotFitLosesBeforeTwentyFiveRowsOnly) {
    game.ScoreObj().CompletedLines = 25;
    EndTheGame();
    EXPECT_EQ(game.State(), TGameState::Ended);
    EXPECT_TRUE(listener.sounds.isEmpty()) << "after 25 rows the game is won, not lost";

    listener = RecordingListener();
    game.NewGame();
    Field.Reset();
    EndTheGame();
    EXPECT_EQ(game.State(), TGameState::Ended);
    EXPECT_EQ(listener.sounds, QStringList{QStringLiteral("loser")});
    EXPECT_EQ(listener.ends, std::vector<bool>{false});
    EXPECT_EQ(game.NextFigur().Typ, EO) << "the next kind is not renewed at the end";
}

TEST_F(GameTest, ResumingAfterTheEndPlaysOnFromTheCurrentBoard) {
    EndTheGame();
    EXPECT_FALSE(game.Tick()); // lands the square that did not fit
    const auto board = Field.Bytes();

    game.Act(TGameAction::Pause);
    EXPECT_EQ(game.State(), TGameState::Running);
    EXPECT_EQ(Field.Bytes(), board);
    EXPECT_EQ(Piece().Typ, EO);

    // The piece that did not fit is fixed where it stands, and the end test
    // runs again.
    listener.sounds.clear();
    EXPECT_FALSE(game.Tick());
    EXPECT_EQ(Field.At(5, 1), EO);
    EXPECT_EQ(Field.At(4, 2), EO);
    EXPECT_EQ(game.State(), TGameState::Ended);
    EXPECT_EQ(listener.sounds, QStringList{QStringLiteral("loser")});
}

TEST_F(GameTest, NewGameClearsTheWellAndTheCounts) {
    game.Act(TGameAction::Drop);
    game.Act(TGameAction::Pause);
    game.NewGame();
    EXPECT_EQ(game.State(), TGameState::Running);
    EXPECT_EQ(Count(cPiece), 0);
    for (int x = 0; x < TField::PlayColumns; ++x)
        for (int y = 0; y < TField::PlayRows; ++y)
            ASSERT_EQ(Field.At(x, y), ENone) << x << "," << y;
    EXPECT_NE(game.NextFigur().Typ, ENone);
    EXPECT_TRUE(Piece().visible);
}

namespace {

// What leaves a state: an action, a tick, a click on the help or a new
// game.
enum class Step { Action, Tick, CloseHelp, NewGame };

struct Transition {
    const char* name;
    Step step;
    TGameAction action;
};

constexpr Transition Transitions[] = {
    {"NoAction", Step::Action, TGameAction::NoAction},
    {"MoveLeft", Step::Action, TGameAction::MoveLeft},
    {"MoveRight", Step::Action, TGameAction::MoveRight},
    {"TurnBack", Step::Action, TGameAction::TurnBack},
    {"Turn", Step::Action, TGameAction::Turn},
    {"SoftDrop", Step::Action, TGameAction::SoftDrop},
    {"Drop", Step::Action, TGameAction::Drop},
    {"Pause", Step::Action, TGameAction::Pause},
    {"ShowHelp", Step::Action, TGameAction::ShowHelp},
    {"Tick", Step::Tick, TGameAction::NoAction},
    {"CloseHelp", Step::CloseHelp, TGameAction::NoAction},
    {"NewGame", Step::NewGame, TGameAction::NoAction},
};
constexpr int TransitionCount = int(std::size(Transitions));

using S = TGameState;
struct Outcome {
    TGameState state;
    bool usedUp; // for the actions only
};
// The state reached; upper case where the key was used up.
constexpr Outcome R{S::Running, true}, r{S::Running, false}, H{S::Help, true}, h{S::Help, false},
    P{S::Paused, true}, p{S::Paused, false}, e{S::Ended, false}, X{S::StoppedHelp, true},
    x{S::StoppedHelp, false};

struct StateRow {
    const char* name;
    TGameState from;
    Outcome to[TransitionCount];
};

// Columns in the order of Transitions: NoAction, MoveLeft, MoveRight,
// TurnBack, Turn, SoftDrop, Drop, Pause, ShowHelp, Tick, CloseHelp, NewGame.
const StateRow StateTable[] = {
    {"Running", S::Running, {r, R, R, R, R, R, R, P, H, r, r, r}},
    {"Help", S::Help, {h, H, H, H, H, H, H, R, H, h, r, r}},
    {"Paused", S::Paused, {p, p, p, p, p, p, p, r, X, p, r, r}},
    {"Ended", S::Ended, {e, e, e, e, e, e, e, r, X, e, r, r}},
    {"StoppedHelp", S::StoppedHelp, {x, x, x, x, x, x, x, R, X, x, r, r}},
};

} // namespace

// Every state with every way out: the state it leads to, whether a key is
// used up, and that a change (and only a change) is reported.
TEST_F(GameTest, EveryStateAndActionLeadToTheirState) {
    for (const StateRow& row : StateTable) {
        for (int column = 0; column < TransitionCount; ++column) {
            const Transition& t = Transitions[column];
            SCOPED_TRACE(std::string(row.name) + " x " + t.name);
            game.NewGame();
            Field.Reset();
            game.SetPieces(EO, EI);
            switch (row.from) {
            case S::Running:
                break;
            case S::Help:
                game.Act(TGameAction::ShowHelp);
                break;
            case S::Paused:
                game.Act(TGameAction::Pause);
                break;
            case S::Ended:
                EndTheGame();
                break;
            case S::StoppedHelp:
                game.Act(TGameAction::Pause);
                game.Act(TGameAction::ShowHelp);
                break;
            }
            ASSERT_EQ(game.State(), row.from);
            listener.states.clear();

            bool usedUp = false;
            switch (t.step) {
            case Step::Action:
                usedUp = game.Act(t.action);
                break;
            case Step::Tick:
                (void)game.Tick();
                break;
            case Step::CloseHelp:
                (void)game.CloseHelp();
                break;
            case Step::NewGame:
                game.NewGame();
                break;
            }
            const Outcome& expected = row.to[column];
            EXPECT_EQ(int(game.State()), int(expected.state));
            EXPECT_EQ(usedUp, expected.usedUp);
            if (expected.state == row.from)
                EXPECT_TRUE(listener.states.empty());
            else
                EXPECT_EQ(listener.states, std::vector<TGameState>{expected.state});
        }
    }
}
