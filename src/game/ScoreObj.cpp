#include "game/ScoreObj.h"

#include "game/UiLanguage.h"
#include "text/DisplayText.h"
#include "text/QZ_cmn.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLocale>
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

TScoreObj::TScoreObj(const TScoreView& view) : FView(view) {
    // A label in automatic mode would take a name with a tag for markup
    // (and load the images it names).
    for (QLabel* label : {FView.Total, FView.RestLines, FView.theBest})
        if (label)
            label->setTextFormat(Qt::PlainText);
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
    const QString shown = FView.Score ? FView.Score->toPlainText() : QString();
    QStringList lines = shown.split(QLatin1Char('\n'));
    // The memo has eight lines; the row counts take lines 0..3, the others
    // lines 5..7, so line 4 stays the empty separator of the form.
    while (lines.size() < CountKinds + 1)
        lines.append(QString());
    for (int i = 0; i < CountKinds; ++i) {
        lines[i < cDrop ? i : i + 1] =
            QString::number(LineCounter[i]) + QLatin1Char(' ') + CountNames[i];
        Sum += LineCounter[i] * CountWeights[i];
    }
    const QString memo = lines.join(QLatin1Char('\n'));
    if (FView.Score && memo != shown)
        FView.Score->setPlainText(memo);
    SetText(FView.Total, QString::number(Sum) + QStringLiteral(" total"));
    // The count picks the translation's singular or plural form; it is put
    // in by arg(), since %n would not take the negative count of a game
    // won by more rows than it needed.
    const int rest = RowsToWin - CompletedLines;
    SetText(FView.RestLines,
            QCoreApplication::translate("stakko::TScoreObj", "noch %1 Zeilen", nullptr, qAbs(rest))
                .arg(rest));
    // The name comes from the settings file or the keyboard: shown so
    // that it cannot reorder or break the line (the label is plain text).
    // Both arguments at once: a "%2" in the name stays as it is.
    SetText(FView.theBest, QCoreApplication::translate("stakko::TScoreObj", "Rekord: %1 (%2 Pkt.)")
                               .arg(qz::DisplayFragment(WinnerName), GroupedPoints(HighScore)));
}

} // namespace stakko
