#include "ui/RtfReader.h"

#include "text/EQZError.h"
#include "text/QZ_Unicode.h"
#include "text/TEncoding.h"
#include "ui/RtfControlWords_p.h"

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QIODevice>
#include <QList>
#include <QScreen>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <array>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

namespace qz {

namespace {

using rtf::FindWord;
using rtf::TWord;
using rtf::TWordEntry;

// Bounds that keep hostile numbers harmless: 22 inches is the widest page
// a word processor offers, 1638 points its largest type, 32 tab stops what
// a rich edit paragraph holds, 31 characters the longest font name Windows
// knows.
constexpr qint32 MaxParameter = 0x7FFFFFFF;
constexpr int MaxTwips = 31680;
constexpr int MinHalfPoints = 2;
constexpr int MaxHalfPoints = 3276;
constexpr int MaxTabStops = 32;
constexpr int MaxFontNameLength = 31;
constexpr int MaxFallbackLength = 255;
constexpr int MaxControlWordLength = 32;
constexpr int DefaultHalfPoints = 24;
constexpr int DefaultTabTwips = 720;

enum class TDest : quint8 { Text, FontTable, ColourTable, Skip };

struct TCharState {
    int HalfPoints = DefaultHalfPoints;
    int Colour = -1; // index into the colour table; -1: the text colour
    int Font = -1;   // font number; -1: the document's default font
};

struct TParState {
    int SpaceAfter = 0; // twips, like the indents and tab stops
    int LeftIndent = 0;
    int FirstIndent = 0;
    std::vector<int> Tabs;
};

struct TGroup {
    TCharState Char;
    TParState Par;
    TDest Dest = TDest::Text;
    int FallbackLength = 1; // \uc
};

struct TFontEntry {
    QString Name;
    QFont::StyleHint Hint = QFont::AnyStyle;
};

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Characters that would mean structure to a QTextDocument (paragraph and
// frame marks, object places) or nothing at all (controls) stay out of it.
bool IsTextCharacter(char16_t c) {
    if (c < 0x20)
        return c == u'\t';
    return c != QChar::ParagraphSeparator && c != QChar::ObjectReplacementCharacter &&
           c != 0xFDD0 && c != 0xFDD1 && c != 0x7F;
}

class TRtfParser {
public:
    TRtfParser(const QByteArray& rtf, QTextDocument& doc, const TRtfReadOptions& options)
        : FRtf(rtf), FDoc(doc), FCursor(&doc), FCodePage(options.CodePage),
          FDotsPerInch(options.DotsPerInch > 0 ? options.DotsPerInch : ScreenDotsPerInch()) {}

    void Run();

private:
    TGroup& Top() { return FGroups.back(); }

    void OpenGroup();
    void CloseGroup();
    void ControlWord();
    void ControlSymbol(char c);
    void Word(std::string_view name, bool hasParam, qint32 param);
    void FormatWord(const TWordEntry& word, bool hasParam, qint32 param);
    void TableWord(const TWordEntry& word, qint32 param);
    void TextByte(char c);
    void AppendChar(char16_t c);
    bool SkipFallback();

    void DecodeBytes();
    void Flush();
    void EndParagraph();
    void FinishDocument(const TGroup& last);
    void CommitFont();

    [[nodiscard]] qreal Pixels(int twips) const { return twips * FDotsPerInch / 1440.0; }
    [[nodiscard]] QTextCharFormat CharFormat(const TCharState& s) const;
    [[nodiscard]] QTextBlockFormat BlockFormat(const TParState& s) const;

    const QByteArray& FRtf;
    qsizetype FPos = 0;
    QTextDocument& FDoc;
    QTextCursor FCursor;
    quint16 FCodePage;
    qreal FDotsPerInch;

    std::vector<TGroup> FGroups;
    bool FDone = false;
    bool FBlockPending = false; // a paragraph has ended; the next text opens one
    int FFallbackLeft = 0;      // characters of a \u fallback still to skip
    QByteArray FBytes;          // text bytes not yet decoded
    QString FChars;             // text not yet inserted

    int FDefaultFont = 0;
    int FDefaultTab = DefaultTabTwips;
    std::map<int, TFontEntry> FFonts;
    int FFontNumber = -1; // the font table entry being read
    TFontEntry FFont;
    QByteArray FFontName;

    std::vector<QColor> FColours;
    std::array<int, 3> FRgb = {0, 0, 0};
    bool FRgbGiven = false;
};

void TRtfParser::Run() {
    if (!FRtf.startsWith("{\\rtf"))
        throw EQZError(QStringLiteral("Kein RTF-Text: der Anfang \"{\\rtf\" fehlt"));
    FDoc.clear();
    FCursor = QTextCursor(&FDoc);
    const qsizetype size = FRtf.size();
    while (FPos < size && !FDone) {
        const char c = FRtf[FPos];
        if (c == '{') {
            ++FPos;
            OpenGroup();
        } else if (c == '}') {
            ++FPos;
            CloseGroup();
        } else if (c == '\\') {
            ++FPos;
            ControlWord();
        } else {
            ++FPos;
            if (c != '\r' && c != '\n')
                TextByte(c);
        }
    }
    // A text cut off inside its groups keeps what was read.
    if (!FDone)
        FinishDocument(FGroups.back());
    QTextOption option = FDoc.defaultTextOption();
    option.setTabStopDistance(Pixels(FDefaultTab));
    FDoc.setDefaultTextOption(option);
}

void TRtfParser::OpenGroup() {
    Flush();
    FFallbackLeft = 0;
    if (int(FGroups.size()) >= RtfMaxGroupDepth)
        throw EQZError(QStringLiteral("RTF-Text zu tief verschachtelt: mehr als %1 Gruppen")
                           .arg(RtfMaxGroupDepth));
    FGroups.push_back(FGroups.empty() ? TGroup{} : FGroups.back());
}

void TRtfParser::CloseGroup() {
    Flush();
    FFallbackLeft = 0;
    if (Top().Dest == TDest::FontTable)
        CommitFont();
    if (FGroups.size() == 1) {
        // The document's own group: what follows it is not part of it.
        FinishDocument(FGroups.back());
        FDone = true;
        return;
    }
    FGroups.pop_back();
}

void TRtfParser::ControlWord() {
    const qsizetype size = FRtf.size();
    if (FPos >= size)
        return; // a lone backslash at the end
    const char first = FRtf[FPos];
    if (!IsLetter(first)) {
        ++FPos;
        ControlSymbol(first);
        return;
    }
    const qsizetype start = FPos;
    while (FPos < size && IsLetter(FRtf[FPos]))
        ++FPos;
    const qsizetype length = FPos - start;
    bool negative = false;
    if (FPos + 1 < size && FRtf[FPos] == '-' && IsDigit(FRtf[FPos + 1])) {
        negative = true;
        ++FPos;
    }
    bool hasParam = false;
    qint64 value = 0;
    while (FPos < size && IsDigit(FRtf[FPos])) {
        hasParam = true;
        value = std::min<qint64>(value * 10 + (FRtf[FPos] - '0'), MaxParameter);
        ++FPos;
    }
    if (FPos < size && FRtf[FPos] == ' ')
        ++FPos;
    // Over-long words are nobody's: treat them as unknown.
    const std::string_view name = length <= MaxControlWordLength
                                      ? std::string_view(FRtf.constData() + start, size_t(length))
                                      : std::string_view();
    Word(name, hasParam, qint32(negative ? -value : value));
}

void TRtfParser::ControlSymbol(char c) {
    if (c == '\'') {
        // A hex escape; one cut off or malformed is dropped.
        const qsizetype size = FRtf.size();
        int hi = FPos < size ? HexValue(FRtf[FPos]) : -1;
        int lo = hi >= 0 && FPos + 1 < size ? HexValue(FRtf[FPos + 1]) : -1;
        if (hi < 0 || lo < 0) {
            FPos += hi >= 0 ? 1 : 0;
            return;
        }
        FPos += 2;
        TextByte(char(hi * 16 + lo));
        return;
    }
    if (c == '\\' || c == '{' || c == '}') {
        TextByte(c);
        return;
    }
    if (SkipFallback())
        return;
    switch (c) {
    case '*': // an ignorable destination: none of them is ours
        if (FGroups.size() > 1) {
            Flush();
            Top().Dest = TDest::Skip;
        }
        break;
    case '~':
        AppendChar(u'\u00A0');
        break;
    case '_':
        AppendChar(u'\u2011');
        break;
    case '\r':
    case '\n':
        EndParagraph();
        break;
    default: // \- (optional hyphen) and the rest: nothing to show
        break;
    }
}

void TRtfParser::Word(std::string_view name, bool hasParam, qint32 param) {
    const TWordEntry* word = FindWord(name);
    if (!word) {
        SkipFallback();
        return;
    }
    if (word->Kind == TWord::Bin) {
        // Binary data (of a skipped picture) is passed over unread.
        FPos += std::clamp<qint64>(param, 0, FRtf.size() - FPos);
        SkipFallback();
        return;
    }
    if (SkipFallback())
        return;
    switch (word->Kind) {
    case TWord::Ansi:
        FCodePage = 1252;
        return;
    case TWord::AnsiCpg:
        if (param > 0 && param <= 0xFFFF)
            FCodePage = quint16(param);
        return;
    case TWord::Pc:
        FCodePage = 437;
        return;
    case TWord::Pca:
        FCodePage = 850;
        return;
    case TWord::Deff:
        FDefaultFont = param;
        return;
    case TWord::DefTab:
        if (param > 0)
            FDefaultTab = std::min(param, MaxTwips);
        return;
    case TWord::U: {
        // A signed 16-bit value; the ANSI fallback that follows is skipped
        // in every destination.
        const qint32 unit = param < 0 ? param + 0x10000 : param;
        if (unit >= 0 && unit <= 0xFFFF)
            AppendChar(char16_t(unit));
        FFallbackLeft = Top().FallbackLength;
        return;
    }
    case TWord::Uc:
        Top().FallbackLength = std::clamp(param, 0, MaxFallbackLength);
        return;
    case TWord::FontTable:
    case TWord::ColourTable:
    case TWord::SkipDest:
        // Only a group of its own can be a destination, never the document.
        if (FGroups.size() > 1) {
            Flush();
            Top().Dest = word->Kind == TWord::FontTable     ? TDest::FontTable
                         : word->Kind == TWord::ColourTable ? TDest::ColourTable
                                                            : TDest::Skip;
        }
        return;
    default:
        break;
    }
    if (Top().Dest == TDest::Text)
        FormatWord(*word, hasParam, param);
    else
        TableWord(*word, param);
}

void TRtfParser::FormatWord(const TWordEntry& word, bool hasParam, qint32 param) {
    TGroup& g = Top();
    switch (word.Kind) {
    case TWord::Symbol:
        AppendChar(word.Value);
        return;
    case TWord::Par:
        EndParagraph();
        return;
    default:
        break;
    }
    Flush();
    switch (word.Kind) {
    case TWord::Pard:
        g.Par = TParState{};
        break;
    case TWord::Plain:
        g.Char = TCharState{};
        break;
    case TWord::Fs:
        g.Char.HalfPoints =
            hasParam ? std::clamp(param, MinHalfPoints, MaxHalfPoints) : DefaultHalfPoints;
        break;
    case TWord::Cf:
        g.Char.Colour = param >= 0 && param < qint32(FColours.size()) ? param : -1;
        break;
    case TWord::F:
        g.Char.Font = param;
        break;
    case TWord::Sa:
        g.Par.SpaceAfter = std::clamp(param, 0, MaxTwips);
        break;
    case TWord::Li:
        g.Par.LeftIndent = std::clamp(param, 0, MaxTwips);
        break;
    case TWord::Fi:
        g.Par.FirstIndent = std::clamp(param, -MaxTwips, MaxTwips);
        break;
    case TWord::Tx:
        if (int(g.Par.Tabs.size()) < MaxTabStops && param > 0)
            g.Par.Tabs.push_back(std::min(param, MaxTwips));
        break;
    default:
        break;
    }
}

void TRtfParser::TableWord(const TWordEntry& word, qint32 param) {
    if (Top().Dest == TDest::FontTable) {
        if (word.Kind == TWord::F) {
            CommitFont();
            FFontNumber = param;
        } else if (word.Kind == TWord::Family) {
            FFont.Hint = QFont::StyleHint(word.Value);
        }
    } else if (Top().Dest == TDest::ColourTable) {
        const int component = std::clamp(param, 0, 255);
        if (word.Kind == TWord::Red)
            FRgb[0] = component;
        else if (word.Kind == TWord::Green)
            FRgb[1] = component;
        else if (word.Kind == TWord::Blue)
            FRgb[2] = component;
        else
            return;
        FRgbGiven = true;
    }
}

// True when the token just read belongs to the fallback of a \u and goes.
bool TRtfParser::SkipFallback() {
    if (FFallbackLeft <= 0)
        return false;
    --FFallbackLeft;
    return true;
}

void TRtfParser::TextByte(char c) {
    if (SkipFallback())
        return;
    switch (Top().Dest) {
    case TDest::Text:
        FBytes.append(c);
        break;
    case TDest::FontTable:
        if (c == ';')
            CommitFont();
        else if (FFontNumber >= 0 && FFontName.size() < 4 * MaxFontNameLength)
            FFontName.append(c);
        break;
    case TDest::ColourTable:
        // Only the semicolons count; labels between the entries are skipped.
        if (c == ';') {
            FColours.push_back(FRgbGiven ? QColor(FRgb[0], FRgb[1], FRgb[2]) : QColor());
            FRgb = {0, 0, 0};
            FRgbGiven = false;
        }
        break;
    case TDest::Skip:
        break;
    }
}

void TRtfParser::AppendChar(char16_t c) {
    if (Top().Dest != TDest::Text)
        return;
    DecodeBytes();
    if (IsTextCharacter(c))
        FChars.append(QChar(c));
}

void TRtfParser::DecodeBytes() {
    if (FBytes.isEmpty())
        return;
    QString text;
    try {
        text = EncodingForCodePage(FCodePage)->GetString(FBytes);
    } catch (const EQZError&) {
        text = QString(QChar::ReplacementCharacter);
    }
    FBytes.clear();
    for (QChar c : std::as_const(text))
        if (IsTextCharacter(c.unicode()))
            FChars.append(c);
}

void TRtfParser::Flush() {
    DecodeBytes();
    if (FChars.isEmpty())
        return;
    if (FBlockPending) {
        FCursor.insertBlock();
        FBlockPending = false;
    }
    FCursor.insertText(FChars, CharFormat(Top().Char));
    FChars.clear();
}

// The paragraph takes the formatting in force at its \par; an empty one
// keeps the character format of its mark for its height.
void TRtfParser::EndParagraph() {
    if (Top().Dest != TDest::Text)
        return;
    Flush();
    if (FBlockPending)
        FCursor.insertBlock();
    FCursor.setBlockFormat(BlockFormat(Top().Par));
    FCursor.setBlockCharFormat(CharFormat(Top().Char));
    FBlockPending = true;
}

void TRtfParser::FinishDocument(const TGroup& last) {
    Flush();
    if (!FBlockPending) {
        FCursor.setBlockFormat(BlockFormat(last.Par));
        FCursor.setBlockCharFormat(CharFormat(last.Char));
    }
}

void TRtfParser::CommitFont() {
    if (FFontNumber >= 0) {
        FFont.Name =
            EncodingForCodePage(FCodePage)->GetString(FFontName).trimmed().left(MaxFontNameLength);
        if (!FFont.Name.isEmpty())
            FFonts[FFontNumber] = FFont;
    }
    FFontNumber = -1;
    FFont = TFontEntry{};
    FFontName.clear();
}

QTextCharFormat TRtfParser::CharFormat(const TCharState& s) const {
    QTextCharFormat format;
    format.setFontPointSize(s.HalfPoints / 2.0);
    if (s.Colour >= 0 && FColours[size_t(s.Colour)].isValid())
        format.setForeground(FColours[size_t(s.Colour)]);
    // A font the table does not name is the default font.
    auto font = FFonts.find(s.Font);
    if (font == FFonts.end())
        font = FFonts.find(FDefaultFont);
    if (font != FFonts.end()) {
        format.setFontFamilies(QStringList{font->second.Name});
        format.setFontStyleHint(font->second.Hint);
    }
    return format;
}

QTextBlockFormat TRtfParser::BlockFormat(const TParState& s) const {
    QTextBlockFormat format;
    format.setBottomMargin(Pixels(s.SpaceAfter));
    format.setLeftMargin(Pixels(s.LeftIndent));
    // The first line may hang out to the left margin, not beyond it.
    format.setTextIndent(Pixels(std::max(s.FirstIndent, -s.LeftIndent)));
    std::vector<int> twips = s.Tabs;
    std::sort(twips.begin(), twips.end());
    QList<QTextOption::Tab> tabs;
    for (int t : twips)
        tabs.append(QTextOption::Tab(Pixels(t), QTextOption::LeftTab));
    format.setTabPositions(tabs);
    return format;
}

} // namespace

qreal ScreenDotsPerInch() {
    if (QCoreApplication::testAttribute(Qt::AA_Use96Dpi))
        return 96;
    const QScreen* screen = QGuiApplication::primaryScreen();
    // The layout rounds the screen's value, so the reader does too.
    return screen ? qRound(screen->logicalDotsPerInchX()) : 96;
}

void ReadRtf(const QByteArray& rtf, QTextDocument& doc, const TRtfReadOptions& options) {
    try {
        TRtfParser(rtf, doc, options).Run();
    } catch (const EQZError&) {
        doc.clear(); // no half-read document
        throw;
    }
}

void ReadRtf(QIODevice& stream, QTextDocument& doc, const TRtfReadOptions& options) {
    ReadRtf(stream.readAll(), doc, options);
}

} // namespace qz
