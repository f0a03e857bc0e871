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

// Holder of one text, attached to string-list entries to carry a second
// text; the list that holds it owns it.
class TStringObject {
public:
    explicit TStringObject(const QString& s) : FString(s) {}
    QString FString;
};

// ---------------------------------------------------------------------------
// Numbers and truth values

// True when s is greater than "0" in code-unit order.
//   TextIsTrue("1") && TextIsTrue("00") && TextIsTrue("False") && !TextIsTrue("-1")
[[nodiscard]] bool TextIsTrue(const QString& s);

// "1" or "0".
[[nodiscard]] QString BoolToDigit(bool b);

// 0..15 for "0".."9", "A".."F", "a".."f"; -1 for anything else.
[[nodiscard]] int HexDigitValue(QChar ch);

// Reads an integer from s at the 1-based position pos and moves pos behind
// it. Before the digits, "-" flips the sign and "$" switches to base 16;
// "-" after "$" (or with a base other than 10) and "$" after "-" give 0
// with pos at 1; any other character gives 0 with pos on it. Digits wrap
// around in 32 (64) bits. A pos below 1 counts as 1. Never fails.
//   s = "12ab", pos = 1: ParseInteger(s, pos, 10) == 12, pos == 3
//   "$1F" -> 31, "--5" -> 5, "-$1F" -> 0
[[nodiscard]] qint32 ParseInteger(const QString& s, int& pos, int base);
[[nodiscard]] qint64 ParseInt64(const QString& s, int& pos, int base);

// ParseInteger(s, 1, 10), then deletes the characters it consumed from s.
//   s = "12ab": TakeLeadingInteger(s) == 12, s == "ab"
qint32 TakeLeadingInteger(QString& s);

// Exactly 16 upper-case hex digits (two's complement for negatives).
//   Int64ToHex16(-1) == "FFFFFFFFFFFFFFFF"
[[nodiscard]] QString Int64ToHex16(qint64 v);

// The double whose bit pattern ParseInt64(s, 1, 16) reads.
//   HexToDouble("3FF0000000000000") == 1.0
[[nodiscard]] double HexToDouble(const QString& s);

// Decimal form of v with a "." between groups of three digits, whatever the
// locale: IntToStrGrouped(1234567) == "1.234.567", IntToStrGrouped(-999) == "-999".
[[nodiscard]] QString IntToStrGrouped(qint64 v);

// ---------------------------------------------------------------------------
// Trimming: only the space character U+0020 counts as blank.

// Removes leading spaces: "  a " -> "a ".
void TrimLeadingSpaces(QString& s);
// Removes trailing spaces: " a  " -> " a".
void TrimTrailingSpaces(QString& s);
// Both: " a b " -> "a b"; tabs stay.
void TrimSpaces(QString& s);

} // namespace qz
