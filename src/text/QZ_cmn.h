#pragma once
// Common helpers shared by every part of the program: the program path
// values fixed at start-up, and small string, number, path and date
// helpers. Positions are 1-based character positions, as in the stored
// formats these helpers serve.

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
// Removes the last character; an empty s stays empty.
void DeleteLastChar(QString& s);
// s without its last character; "" for texts shorter than two characters.
[[nodiscard]] QString DropLastChar(const QString& s);
// s up to, not including, its first "?": "a.ini?x" -> "a.ini".
[[nodiscard]] QString CutAtQuestionMark(const QString& s);
// Cuts s before its first character 0.
void TruncateAtNul(QString& s);

// Advances p until it points at ch or at the character 0.
// Throws EQZError "skipTo with Nil-Pointer" for a null p.
void skipTo(QChar ch, const QChar*& p);

// ---------------------------------------------------------------------------
// Character access and searching

// The first character of s, or a space (FirstCharOrSpace) or the character
// 0 (FirstCharOrNul) when s is empty.
[[nodiscard]] QChar FirstCharOrSpace(const QString& s);
[[nodiscard]] QChar FirstCharOrNul(const QString& s);
// The last character of s, or a space when s is empty.
[[nodiscard]] QChar LastCharOrSpace(const QString& s);

// Position of the first ch at or after start; 0 when none or start < 1.
//   PosCharFrom('a', "banana", 3) == 4
[[nodiscard]] int PosCharFrom(QChar ch, const QString& s, int start);
// As PosCharFrom, but length + 1 instead of 0.
[[nodiscard]] int PosCharFromOrEnd(QChar ch, const QString& s, int start);

// Position of sub in s comparing upper-cased characters; 0 when none or
// when either is empty.   PosIgnoreCase("INI", "x.ini") == 3
[[nodiscard]] int PosIgnoreCase(const QString& sub, const QString& s);

// The largest position p <= count (count lowered to the length of s) at
// which sub starts in s, case-sensitive; -1 when none or sub is empty.
//   LastPosWithin(".", "1.0.5432.100", 8) == 4
[[nodiscard]] int LastPosWithin(const QString& sub, const QString& s, int count);
//   LastPos(".", "1.0.5432.100") == 9
[[nodiscard]] int LastPos(const QString& sub, const QString& s);

// Case-sensitive; true for an empty suffix.
[[nodiscard]] bool EndsWithText(const QString& suffix, const QString& s);
// After upper-casing each character; false for an empty suffix.
[[nodiscard]] bool EndsWithTextIgnoreCase(const QString& suffix, const QString& s);

[[nodiscard]] int MinInt(int a, int b);

// ---------------------------------------------------------------------------
// Files, folders, paths

// These two work on texts in the Windows form (backslash separators, as
// stored in settings written on Windows); Linux paths use "/" and are
// joined with it where the program builds a path of its own.
// Appends "\" unless s is empty or ends with ":" or "\": "C:" stays.
void AddTrailingBackslash(QString& s);
// Removes one final "\", if there is one.
void RemoveTrailingBackslash(QString& s);

// True when the file "$~test~$.$$$" can be created (or truncated) in dir;
// it is deleted again. The folder and the name are joined with "/"; an
// empty dir means the current folder.
[[nodiscard]] bool IsDirectoryWritable(const QString& dir);

// True when a directory search for path finds an entry that is a folder.
// Stands in for the Windows search: a name with "*" or "?" is matched
// against the entries of its folder; any other path is looked up directly
// (a link to a folder counts). One final backslash is removed first.
// Linux has no drives, so "C:" is no special case here: it names a file.
[[nodiscard]] bool DirectoryExistsByFind(const QString& path);

// Reads one token of a command line at p into token and returns the
// pointer behind it. Blanks (codes 1 to 32) and "" pairs before the token
// are skipped; a quoted run keeps its blanks, "" inside it is one quote.
// A token holds at most 4096 characters; the next call resumes behind.
// A null p gives an empty token and null.
//   p = " \"a b\"c \"\" d": tokens "a bc", then "d"
const QChar* NextCommandLineToken(const QChar* p, QString& token);

// The build date encoded in a four-part version "major.minor.build.rev":
// the build counts days since 1 January 2000, the revision two-second
// steps since midnight. Dates up to 18 February 2014 give "". The text
// is "dd.mm.yyyy" or "dd.mm.yyyy hh:nn:ss" with the German separators,
// whatever the locale, as the About box shows it.
//   VersionToDateText("1.0.5163.0", true) == "19.02.2014"
[[nodiscard]] QString VersionToDateText(const QString& version, bool dateOnly);

} // namespace qz
