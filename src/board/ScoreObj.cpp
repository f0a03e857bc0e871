#include "board/ScoreObj.h"

#include "board/UiLanguage.h"
#include "text/DisplayText.h"
#include "text/QZ_cmn.h"

#include <QCoreApplication>
#include <QLocale>

namespace stakko {

namespace {

// Points with their thousands grouped the way the program's language
// writes them: "12.345" in German, "12,345" in English.
QString GroupedPoints(qint32 points) {
    if (UiLanguage() == TUiLanguage::English)
        return QLocale(QLocale::English).toString(points);
    return qz::IntToStrGrouped(points);
}

} // namespace

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

// The count picks the translation's singular or plural form; it is put in
// by arg(), since %n would not take the negative count of a game won by
// more rows than it needed.
QString TScoreObj::RestLinesText() const {
    const int rest = RowsToWin - CompletedLines;
    return QCoreApplication::translate("stakko::TScoreObj", "noch %1 Zeilen", nullptr, qAbs(rest))
        .arg(rest);
}

// The name comes from the settings file or the keyboard: shown so that it
// cannot reorder or break the line. Both arguments at once: a "%2" in the
// name stays as it is.
QString TScoreObj::BestText() const {
    return QCoreApplication::translate("stakko::TScoreObj", "Rekord: %1 (%2 Pkt.)")
        .arg(qz::DisplayFragment(WinnerName), GroupedPoints(HighScore));
}

} // namespace stakko
