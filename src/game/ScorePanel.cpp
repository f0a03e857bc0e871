#include "game/ScorePanel.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QStringList>

namespace stakko {

namespace {

// A text that stays as it is is not set again: setting it would lay out
// and repaint the widget all the same.
void SetText(QLabel* label, const QString& text) {
    if (label && label->text() != text)
        label->setText(text);
}

} // namespace

TScorePanel::TScorePanel(QPlainTextEdit* Score, QLabel* Total, QLabel* RestLines, QLabel* theBest)
    : FScore(Score), FTotal(Total), FRestLines(RestLines), FTheBest(theBest) {
    // A label in automatic mode would take a name with a tag for markup
    // (and load the images it names).
    for (QLabel* label : {FTotal, FRestLines, FTheBest})
        if (label)
            label->setTextFormat(Qt::PlainText);
}

void TScorePanel::ShowScore(const TScoreObj& score) {
    if (FScore) {
        const QString shown = FScore->toPlainText();
        QStringList lines = shown.split(QLatin1Char('\n'));
        // The memo has eight lines; the row counts take lines 0..3, the
        // others lines 5..7, so line 4 stays the empty separator of the form.
        while (lines.size() < CountKinds + 1)
            lines.append(QString());
        for (int i = 0; i < CountKinds; ++i)
            lines[i < cDrop ? i : i + 1] = score.CountLine(TCount(i));
        const QString memo = lines.join(QLatin1Char('\n'));
        if (memo != shown)
            FScore->setPlainText(memo);
    }
    SetText(FTotal, score.TotalText());
    SetText(FRestLines, score.RestLinesText());
    SetText(FTheBest, score.BestText());
}

} // namespace stakko
