#pragma once
// The INI file object's reading, over bytes read once: the whole-text
// decoding and the line-by-line fallback both work on what ReadIniFileBytes
// (IniFile.h) returned under the lock, so neither can see another version
// of the file, nor read it without the lock.

#include "text/QZ_Defs.h"
#include "text/QZ_Files.h"

#include <QByteArray>
#include <QString>

namespace qz::detail {

// LoadTextFile over bytes already read: the same detection, decider calls
// (the decider sees a QBuffer over the bytes), decoding and errors; `fn`
// names the file in the messages.
void DecodeIniBytes(const QByteArray& bytes, const QString& fn, TEncodingType* kind,
                    QString& result, const TEncodingDecider& decider);

} // namespace qz::detail
