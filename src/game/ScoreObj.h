#pragma once
// The statistics of a game: seven counters, the points derived from them,
// the rows still to go, and the record. Show writes them into the side
// panel's memo and labels.

#include <QString>
#include <QtGlobal>

#include <array>

class QLabel;
class QPlainTextEdit;

namespace stakko {

enum TCount : quint8 { cL1 = 0, cL2, cL3, cL4, cDrop, cDown, cPiece };
constexpr int CountKinds = 7;

extern const std::array<QString, CountKinds> CountNames;
extern const std::array<qint32, CountKinds> CountWeights;

// Rows to remove to win a game.
constexpr int RowsToWin = 25;

// The side panel widgets that Show writes into.
struct TScoreView {
    QPlainTextEdit* Score = nullptr; // eight lines; line 4 keeps its design text
    QLabel* Total = nullptr;
    QLabel* RestLines = nullptr;
    QLabel* theBest = nullptr;
};

class TScoreObj {
public:
    explicit TScoreObj(const TScoreView& view);
    TScoreObj(const TScoreObj&) = delete;
    TScoreObj& operator=(const TScoreObj&) = delete;

    std::array<qint32, CountKinds> LineCounter{};
    qint32 CompletedLines = 0;
    qint32 Sum = 0;
    QString WinnerName;
    qint32 HighScore = 0;

    // Starts the counters of a new game.
    void init();
    // k rows minus one removed at once (cL1..cL4).
    void CountCompletedLine(TCount k);
    void AddPiece(TCount ty, int k);
    // Recomputes Sum and rewrites the panel.
    void Show();

private:
    TScoreView FView;
};

} // namespace stakko
