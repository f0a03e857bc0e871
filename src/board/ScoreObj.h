#pragma once
// The statistics of a game: seven counters, the points derived from them,
// the rows still to go, and the record. Show recomputes the points and
// hands the texts of the side panel to its view.

#include <QString>
#include <QtGlobal>

#include <array>

namespace stakko {

enum TCount : quint8 { cL1 = 0, cL2, cL3, cL4, cDrop, cDown, cPiece };
constexpr int CountKinds = 7;

extern const std::array<QString, CountKinds> CountNames;
extern const std::array<qint32, CountKinds> CountWeights;

// Rows to remove to win a game.
constexpr int RowsToWin = 25;

class TScoreObj;

// Shows the statistics: the side panel, or nothing in a test.
class TScoreView {
public:
    virtual ~TScoreView() = default;
    virtual void ShowScore(const TScoreObj& score) = 0;
};

class TScoreObj {
public:
    explicit TScoreObj(TScoreView* view = nullptr);
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
    // Recomputes Sum and shows the statistics.
    void Show();

    // The panel's texts: "17 Pieces", "2718 total", "noch 15 Zeilen",
    // "Rekord: Anna (12.345 Pkt.)".
    [[nodiscard]] QString CountLine(TCount c) const;
    [[nodiscard]] QString TotalText() const;
    [[nodiscard]] QString RestLinesText() const;
    [[nodiscard]] QString BestText() const;

private:
    TScoreView* FView;
};

} // namespace stakko
