#pragma once
// Named data blocks of a program file. Linux programs are ELF files whose
// sections carry a name; the program's version record lives in one of its
// own, so that it can be read from any program file, not only from the
// running one.
//
//   ReadProgramSection("/usr/games/stakko", ".stakko_version") // the record's bytes

#include <QByteArray>
#include <QString>

namespace qz::platform {

// The bytes of the section `name` in the ELF file at `path` (32 or 64 bit,
// either byte order). Empty when the file cannot be read, is no ELF file,
// is cut short or malformed, or has no such section: a reader of records
// must treat a file without one and a broken file alike.
[[nodiscard]] QByteArray ReadProgramSection(const QString& path, const QByteArray& name);

} // namespace qz::platform
