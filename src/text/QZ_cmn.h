#pragma once
// Common helpers shared by every part of the program: the program path
// values fixed at start-up, and (growing) string, number and path helpers.

#include <QString>
#include <QtGlobal>

namespace qz {

// The three program path values, derived from the program file's path.
struct TProgramPaths {
    QString ExeDir;      // folder with its trailing separator: "/opt/stakko/"
    QString ExeBaseName; // file name without folder and extension, case kept: "Stakko"
    QString ExeFullPath; // ExeDir + file name in lower case, first ASCII letter raised
};

// Derives the path values from an absolute program file path.
//   ProgramPathsFor("/opt/Games/Stakko.bin").ExeFullPath == "/opt/Games/Stakko.bin"
[[nodiscard]] TProgramPaths ProgramPathsFor(const QString& programFile);

// The values for the running program, fixed on first use and read-only afterwards.
[[nodiscard]] const QString& ExeDir();
[[nodiscard]] const QString& ExeBaseName();
[[nodiscard]] const QString& ExeFullPath();

// Decimal form of v with a "." between groups of three digits, whatever the
// locale: IntToStrGrouped(1234567) == "1.234.567", IntToStrGrouped(-999) == "-999".
[[nodiscard]] QString IntToStrGrouped(qint64 v);

} // namespace qz
