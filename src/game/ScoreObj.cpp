#include "game/ScoreObj.h"

#include "text/QZ_cmn.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QStringList>

namespace stakko {

const std::array<QString, CountKinds> CountNames = {
    QStringLiteral("Single"), QStringLiteral("Double"), QStringLiteral("Triple"),
    QStringLiteral("Stakko"), QStringLiteral("Drops"),  QStringLiteral("Downs"),
    QStringLiteral("Pieces")};

const std::array<qint32, CountKinds> CountWeights = {150, 450, 900, 1200, 1, 1, 1};

TScoreObj::TScoreObj(const TScoreView& view) : FView(view) {
    init();
    WinnerName.clear();
    HighScore = 0;
}

void TScoreObj::init() {
    LineCounter.fill(0);
    CompletedLines = 0;
    Show();
}

void TScoreObj::CountCompletedLine(TCount k) {
    Q_ASSERT(k <= cL4);
    ++LineCounter[k];
    CompletedLines += k + 1;
    Show();
}

void TScoreObj::AddPiece(TCount ty, int k) {
    LineCounter[ty] += k;
    Show();
}

void TScoreObj::Show() {
    Sum = 0;
    QStringList lines;
    if (FView.Score)
        lines = FView.Score->toPlainText().split(QLatin1Char('\n'));
    // The memo has eight lines; the row counts take lines 0..3, the others
    // lines 5..7, so line 4 stays the empty separator of the form.
    while (lines.size() < CountKinds + 1)
        lines.append(QString());
    for (int i = 0; i < CountKinds; ++i) {
        lines[i < cDrop ? i : i + 1] =
            QString::number(LineCounter[i]) + QLatin1Char(' ') + CountNames[i];
        Sum += LineCounter[i] * CountWeights[i];
    }
    if (FView.Score)
        FView.Score->setPlainText(lines.join(QLatin1Char('\n')));
    if (FView.Total)
        FView.Total->setText(QString::number(Sum) + QStringLiteral(" total"));
    if (FView.RestLines)
        FView.RestLines->setText(QStringLiteral("noch ") +
                                 QString::number(RowsToWin - CompletedLines) +
                                 QStringLiteral(" Zeilen"));
    if (FView.theBest)
        FView.theBest->setText(QStringLiteral("Rekord: ") + WinnerName + QStringLiteral(" (") +
                               qz::IntToStrGrouped(HighScore) + QStringLiteral(" Pkt.)"));
}

} // namespace stakko
