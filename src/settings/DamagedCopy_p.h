#pragma once
// Where the bytes of a settings file that could not be read faithfully are
// kept before the file is overwritten: "stakko.ini.damaged", then
// "stakko.ini.damaged-2" up to MaxDamagedCopies names. A copy that holds the
// same bytes already is taken again; a free name comes next; when every
// name holds other bytes, the oldest copy gives way, and the caller says so.

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace qz {

inline constexpr int MaxDamagedCopies = 5;

struct TDamagedCopyPlace {
    QString Name;       // where the bytes go, or are already; empty: nowhere
    QDateTime Replaces; // valid when an older copy at Name gives way: its time
    bool Holds = false; // Name holds these bytes already
};

// The place for the bytes `bytes` of the file `fileName`, as things are now.
[[nodiscard]] TDamagedCopyPlace ChooseDamagedCopy(const QString& fileName, const QByteArray& bytes);

// Makes sure a copy holds `bytes`: at `place` unless another program took
// that name meanwhile, then at a place chosen again. Never goes over a file
// that was not chosen to give way. Returns where the bytes are now; empty
// when they could not be written.
[[nodiscard]] QString KeepDamagedBytes(const QString& fileName, const QByteArray& bytes,
                                       const TDamagedCopyPlace& place);

} // namespace qz
