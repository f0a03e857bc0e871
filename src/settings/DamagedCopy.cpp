#include "settings/DamagedCopy_p.h"

#include "platform/AtomicFileWrite.h"
#include "settings/SettingsLog.h"

#include <QFile>
#include <QFileInfo>

namespace qz {

namespace {

QString CopyName(const QString& fileName, int n) {
    const QString base = fileName + QStringLiteral(".damaged");
    return n == 1 ? base : base + QStringLiteral("-%1").arg(n);
}

bool HoldsBytes(const QFileInfo& info, const QByteArray& bytes) {
    if (info.size() != bytes.size())
        return false;
    QFile copy(info.filePath());
    return copy.open(QIODevice::ReadOnly) && copy.readAll() == bytes;
}

} // namespace

// Only regular files of our own names ever give way; a link or a folder at
// such a name is somebody's and stays.
TDamagedCopyPlace ChooseDamagedCopy(const QString& fileName, const QByteArray& bytes) {
    QString freeName;
    QString oldest;
    QDateTime oldestTime;
    for (int n = 1; n <= MaxDamagedCopies; ++n) {
        const QString name = CopyName(fileName, n);
        const QFileInfo info(name);
        if (info.isSymLink() || (info.exists() && !info.isFile()))
            continue;
        if (!info.exists()) {
            if (freeName.isEmpty())
                freeName = name;
            continue;
        }
        if (HoldsBytes(info, bytes))
            return {name, {}, true};
        const QDateTime time = info.lastModified();
        if (oldest.isEmpty() || time < oldestTime) {
            oldest = name;
            oldestTime = time;
        }
    }
    if (!freeName.isEmpty())
        return {freeName, {}, false};
    if (!oldest.isEmpty())
        return {oldest, oldestTime, false};
    return {};
}

QString KeepDamagedBytes(const QString& fileName, const QByteArray& bytes,
                         const TDamagedCopyPlace& place) {
    TDamagedCopyPlace now = place;
    // Another program may take a free name between the choice and the write;
    // then the next choice sees it.
    for (int attempt = 0; attempt < 3 && !now.Name.isEmpty(); ++attempt) {
        const QFileInfo info(now.Name);
        if (info.isFile() && !info.isSymLink() && HoldsBytes(info, bytes))
            return now.Name;
        const bool givesWay = now.Replaces.isValid() && info.isFile() && !info.isSymLink();
        const platform::TWriteResult r = platform::WriteFileAtomically(
            now.Name, bytes,
            givesWay ? platform::TWriteMode::Replace : platform::TWriteMode::CreateOnly);
        if (r.Status == platform::TWriteStatus::Written) {
            if (givesWay)
                qCInfo(lcSettings).noquote() << "the oldest copy" << now.Name << "gave way";
            return now.Name;
        }
        if (r.Status != platform::TWriteStatus::Exists)
            break;
        now = ChooseDamagedCopy(fileName, bytes);
    }
    return {};
}

} // namespace qz
