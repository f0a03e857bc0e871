// The program in the language its user's environment asks for: CTest runs
// this program once with LANGUAGE=en, once in the C locale and once with
// LANG=de_DE.UTF-8, and tells it which language to expect. The language
// is chosen as main() chooses it; then a few texts of each kind are read
// where the player sees them: a button, a panel line, a screen reader's
// name, the help's heading, the record dialog's caption and a message box.
#include "board/ScoreObj.h"
#include "board/UiLanguage.h"
#include "common/FakeUserSettings.h"
#include "common/SilentPlayer.h"
#include "common/TestHelpers.h"
#include "game/RecordKeeping.h"
#include "game/Stakko.h"
#include "game/Winner.h"
#include "settings/QZINI.h"
#include "ui/MsgBoxAnswerer.h"
#include "ui/comvcl.h"

#include <QAccessible>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>

using namespace stakko;

namespace {

struct TTexts {
    QString NewGameButton;
    QString RowsToGo;
    QString RecordLine;
    QString SoundSwitchName;
    QString HelpHeading;
    QString RecordDialogCaption;
    QString SaveFailureStart;
};

const TTexts GermanTexts = {"&Neu",
                            "noch 25 Zeilen",
                            "Rekord: Anna (12.345 Pkt.)",
                            "Ton",
                            "Bedienung von Stakko",
                            "Name des Gewinners",
                            "Der Rekord konnte nicht gespeichert werden: der Ordner "};

const TTexts EnglishTexts = {"&New",
                             "25 lines to go",
                             "Record: Anna (12,345 pts)",
                             "Sound",
                             "How to play Stakko",
                             "Winner's Name",
                             "The high score could not be saved: the folder "};

// Says nothing, for the failures the test is not about.
class TQuietBox : public qz::TMsgBox {
public:
    int Info(const QString&) override { return qz::mrOk; }
    int ErrInfo(const QString&) override { return qz::mrOk; }
};

QString AccessibleName(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

TEST(TwoLanguages, TheProgramSpeaksTheLanguageItsUserPrefers) {
    const bool english = qgetenv("STAKKO_EXPECTED_LANGUAGE") == "en";
    ASSERT_EQ(InstallPreferredUiLanguage(), english ? TUiLanguage::English : TUiLanguage::German);
    const TTexts& expected = english ? EnglishTexts : GermanTexts;

    auto stored = std::make_unique<FakeUserSettings>();
    stored->writeString("Score", "Best", "Anna");
    stored->writeInteger("Score", "Highest", 12345);
    qz::SetUserSettings(std::move(stored));
    {
        T_Stakko window(std::make_unique<SilentPlayer>());
        window.show();
        EXPECT_EQ(window.findChild<QPushButton*>("NewGameBtn")->text(), expected.NewGameButton);
        EXPECT_EQ(window.findChild<QLabel*>("RestLines")->text(), expected.RowsToGo);
        EXPECT_EQ(window.findChild<QLabel*>("theBest")->text(), expected.RecordLine);
        EXPECT_EQ(AccessibleName(window.findChild<QWidget*>("ImageSound")),
                  expected.SoundSwitchName);
        window.HilfeButtonClick();
        const auto* help = window.findChild<QTextBrowser*>("RichEdit1");
        EXPECT_EQ(help->document()->firstBlock().text(), expected.HelpHeading);
    }
    qz::FreeUserSettings();

    TScoreObj score;
    score.WinnerName = QStringLiteral("Bert");
    score.HighScore = 452;
    EXPECT_EQ(TWinnerForm(score).windowTitle(), expected.RecordDialogCaption);

    // A record that cannot be stored: a file stands where the settings
    // folder belongs. The windowed message box tells it.
    QTemporaryDir dir;
    {
        QFile blocker(dir.filePath("Vomb"));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    auto settings = std::make_unique<qz::TUserSettingsFile>(dir.filePath("Vomb/stakko.ini"));
    PrepareSettingsSaving(settings.get());
    // The first failed save is told quietly; the record's is told at once.
    qz::SetMsgBox(std::make_unique<TQuietBox>());
    settings->writeBool("_Stakko", "withSound", false);
    settings->Save();
    qz::SetMsgBox(std::make_unique<qz::TMsgBoxWin>(std::make_unique<SilentPlayer>()));
    SeenDialog seen;
    {
        MsgBoxAnswerer answerer(*qz::MsgBox(), {QStringLiteral("OK")});
        EXPECT_FALSE(StoreRecord(*settings, score));
        seen = answerer.seen;
    }
    qz::SetMsgBox(std::make_unique<TQuietBox>());
    settings.reset();
    qz::SetMsgBox(nullptr);
    ASSERT_TRUE(seen.shown);
    EXPECT_TRUE(seen.text.startsWith(expected.SaveFailureStart)) << seen.text.toStdString();
}

} // namespace
