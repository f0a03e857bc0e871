#include "game/ScoreObj.h"

#include "text/DisplayText.h"
#include "text/QZ_cmn.h"

namespace stakko {

const std::array<QString, CountKinds> CountNames = {
    QStringLiteral("Single"), QStringLiteral("Double"), QStringLiteral("Triple"),
    QStringLiteral("Stakko"), QStringLiteral("Drops"),  QStringLiteral("Downs"),
    QStringLiteral("Pieces")};

const std::array<qint32, CountKinds> CountWeights = {150, 450, 900, 1200, 1, 1, 1};

TScoreObj::TScoreObj(TScoreView* view) : FView(view) {
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
    for (int i = 0; i < CountKinds; ++i)
        Sum += LineCounter[i] * CountWeights[i];
    if (FView)
        FView->ShowScore(*this);
}

QString TScoreObj::CountLine(TCount c) const {
    return QString::number(LineCounter[c]) + QLatin1Char(' ') + CountNames[c];
}

QString TScoreObj::TotalText() const {
    return QString::number(Sum) + QStringLiteral(" total");
}

QString TScoreObj::RestLinesText() const {
    return QStringLiteral("noch ") + QString::number(RowsToWin - CompletedLines) +
           QStringLiteral(" Zeilen");
}

// The name comes from the settings file or the keyboard: shown so that it
// cannot reorder or break the line.
QString TScoreObj::BestText() const {
    return QStringLiteral("Rekord: ") + qz::DisplayFragment(WinnerName) + QStringLiteral(" (") +
           qz::IntToStrGrouped(HighScore) + QStringLiteral(" Pkt.)");
}

} // namespace stakko
