#pragma once
// The side panel's statistics: the memo `Score` and the labels `Total`,
// `RestLines` and `theBest`, written from the statistics object.

#include "board/ScoreObj.h"

class QLabel;
class QPlainTextEdit;

namespace stakko {

class TScorePanel : public TScoreView {
public:
    // `Score` has eight lines; line 4 keeps its design text. Any widget may
    // be null.
    TScorePanel(QPlainTextEdit* Score, QLabel* Total, QLabel* RestLines, QLabel* theBest);

    void ShowScore(const TScoreObj& score) override;

private:
    QPlainTextEdit* FScore;
    QLabel* FTotal;
    QLabel* FRestLines;
    QLabel* FTheBest;
};

} // namespace stakko
