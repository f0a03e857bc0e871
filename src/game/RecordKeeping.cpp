#include "game/RecordKeeping.h"

#include "board/ScoreObj.h"
#include "settings/QZINI.h"
#include "text/MsgBox.h"

#include <QCoreApplication>
#include <QLoggingCategory>

namespace stakko {

namespace {

Q_LOGGING_CATEGORY(lcRecord, "stakko.record")

const QString kScore = QStringLiteral("Score");
const QString kBest = QStringLiteral("Best");
const QString kHighest = QStringLiteral("Highest");

// Whether the failure being saved now is about a record.
bool& SavingRecord() {
    static bool record = false;
    return record;
}

void TellSaveFailure(const qz::TSaveFailure& failure) {
    const QString message =
        SavingRecord() ? QCoreApplication::translate(
                             "stakko::RecordKeeping",
                             "Der Rekord konnte nicht gespeichert werden: %1.\r"
                             "Datei: %2\rEr bleibt vorgemerkt und wird beim nächsten Speichern "
                             "und beim Beenden erneut geschrieben.")
                             .arg(qz::SaveFailureCauseText(failure), failure.FileName)
                       : qz::SaveFailureMessage(failure);
    (void)qz::MsgBox()->ErrInfo(message);
}

qz::TIni* IniOf(qz::TUserSettings* settings) {
    auto* file = dynamic_cast<qz::TUserSettingsFile*>(settings);
    return file ? &file->Ini() : nullptr;
}

} // namespace

void PrepareSettingsSaving(qz::TUserSettings* settings) {
    if (qz::TIni* ini = IniOf(settings)) {
        ini->SetSaveInBackground(true);
        ini->SetOnSaveFailure(&TellSaveFailure);
    }
}

bool SaveSettingsNow(qz::TUserSettings* settings, bool aboutRecord) {
    if (!settings)
        return true;
    if (qz::TIni* ini = IniOf(settings))
        ini->ReportNextSaveFailure();
    SavingRecord() = aboutRecord;
    const bool saved = settings->Flush();
    SavingRecord() = false;
    return saved;
}

bool TakeStoredRecord(qz::TUserSettings& settings, TScoreObj& score) {
    settings.Refresh();
    const qint32 stored = settings.readInteger(kScore, kHighest, 0);
    if (stored <= score.HighScore)
        return false;
    score.HighScore = stored;
    score.WinnerName = settings.readString(kScore, kBest, QString());
    return true;
}

// Equal points: the later record is stored, as any later save wins.
bool StoreRecord(qz::TUserSettings& settings, TScoreObj& score) {
    const QString name = score.WinnerName;
    const qint32 points = score.HighScore;
    if (TakeStoredRecord(settings, score)) {
        qCInfo(lcRecord) << "a higher record" << score.HighScore
                         << "was stored meanwhile; it stays";
        return false;
    }
    settings.writeString(kScore, kBest, name);
    settings.writeInteger(kScore, kHighest, points);
    // A record is worth more than the moment of writing the file: it goes
    // to the disk now, not at some later read or at exit.
    return SaveSettingsNow(&settings, true);
}

} // namespace stakko
