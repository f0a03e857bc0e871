// The RTF reader: what each control word it knows does to the document,
// and hostile inputs.
#include "ui/RtfReader.h"

#include "common/TestHelpers.h"
#include "text/EQZError.h"

#include <QBuffer>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

using namespace qz;

namespace {

// At 96 dots per inch 15 twips are one pixel.
const TRtfReadOptions At96 = {1252, 96};

QString Num(qreal v) {
    return QString::number(v);
}

QString Hint(QFont::StyleHint hint) {
    switch (hint) {
    case QFont::SansSerif:
        return "sans";
    case QFont::Serif:
        return "serif";
    case QFont::TypeWriter:
        return "mono";
    case QFont::Cursive:
        return "cursive";
    case QFont::Decorative:
        return "decor";
    default:
        return "any";
    }
}

// One line per document: blocks joined by " | ", each as its paragraph
// properties in brackets (only those that are set) and its fragments as
// 'text' points [colour] [font/style hint].
QString Dump(const QTextDocument& doc) {
    QStringList blocks;
    for (QTextBlock b = doc.begin(); b != doc.end(); b = b.next()) {
        const QTextBlockFormat f = b.blockFormat();
        QStringList props;
        if (f.bottomMargin() != 0)
            props << "sa" + Num(f.bottomMargin());
        if (f.leftMargin() != 0)
            props << "li" + Num(f.leftMargin());
        if (f.textIndent() != 0)
            props << "fi" + Num(f.textIndent());
        for (const QTextOption::Tab& t : f.tabPositions())
            props << "tx" + Num(t.position);
        QStringList parts{"[" + props.join(' ') + "]"};
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat c = fragment.charFormat();
            QString part = "'" + fragment.text() + "' " + Num(c.fontPointSize());
            if (c.hasProperty(QTextFormat::ForegroundBrush))
                part += " " + c.foreground().color().name();
            const QStringList families = c.fontFamilies().toStringList();
            if (!families.isEmpty())
                part += " " + families.join(',') + "/" + Hint(c.fontStyleHint());
            parts << part;
        }
        blocks << parts.join(' ');
    }
    return blocks.join(" | ");
}

QString Read(const QByteArray& rtf) {
    QTextDocument doc;
    ReadRtf(rtf, doc, At96);
    return Dump(doc);
}

struct RtfCase : NamedRow {
    QByteArray rtf;
    QString expected; // the Dump of the document
};

class RtfControlWords : public ::testing::TestWithParam<RtfCase> {};

TEST_P(RtfControlWords, ShapeTheDocument) {
    EXPECT_EQ(Read(GetParam().rtf), GetParam().expected);
}

const QByteArray Colours = "{\\colortbl;\\red120\\green30\\blue0;\\red0\\green0\\blue255;}";
const QByteArray Fonts =
    "{\\fonttbl{\\f0\\fswiss\\fcharset0\\fprq2 Arial;}{\\f1\\froman Times New Roman;}"
    "{\\f2{\\*\\panose 02020603050405020304}Courier New;}}";

INSTANTIATE_TEST_SUITE_P(
    Reader, RtfControlWords,
    ::testing::Values(
        RtfCase{"TextAndPar", "{\\rtf1 Hallo\\par Welt\\par}", "[] 'Hallo' 12 | [] 'Welt' 12"},
        RtfCase{"LastParagraphWithoutPar", "{\\rtf1 A\\par B}", "[] 'A' 12 | [] 'B' 12"},
        RtfCase{"EmptyParagraphs", "{\\rtf1 A\\par\\par\\fs40\\par B}",
                "[] 'A' 12 | [] | [] | [] 'B' 20"},
        RtfCase{"LineBreaksInTheSourceAreNothing", "{\\rtf1 A\r\nB\nC\\\nD}",
                "[] 'ABC' 12 | [] 'D' 12"},
        RtfCase{"FsInHalfPoints", "{\\rtf1\\fs32 A\\fs19 B\\fs C}", "[] 'A' 16 'B' 9.5 'C' 12"},
        RtfCase{"GroupsRestoreTheCharacterState", "{\\rtf1 A{\\fs40\\cf1 B{\\fs20 C}D}E}",
                "[] 'A' 12 'B' 20 'C' 10 'D' 20 'E' 12"},
        RtfCase{"CfFromTheColourTable", "{\\rtf1" + Colours + "\\cf1 A\\cf2 B\\cf0 C\\cf9 D}",
                "[] 'A' 12 #781e00 'B' 12 #0000ff 'CD' 12"},
        RtfCase{"ColourTableLabelsAreSkipped",
                "{\\rtf1{\\colortbl\r\n\\red255\\green232\\blue212;0:transparent\r\n"
                "\\red120\\green30\\blue0;6:dunkelrot\r\n}\\cf1 A}",
                "[] 'A' 12 #781e00"},
        RtfCase{"PlainResetsTheCharacters", "{\\rtf1" + Colours + "\\fs40\\cf1\\f1 A\\plain B}",
                "[] 'A' 20 #781e00 'B' 12"},
        RtfCase{"FontTableAndF", "{\\rtf1" + Fonts + "A\\f1 B\\f2 C\\f7 D\\par}",
                "[] 'A' 12 Arial/sans 'B' 12 Times New Roman/serif 'C' 12 Courier New/any 'D' 12 "
                "Arial/sans"},
        RtfCase{"FamiliesGiveStyleHints",
                "{\\rtf1{\\fonttbl{\\f0\\fnil A;}{\\f1\\fmodern B;}{\\f2\\fscript C;}"
                "{\\f3\\fdecor D;}{\\f4\\ftech E;}}a\\f1 b\\f2 c\\f3 d\\f4 e}",
                "[] 'a' 12 A/any 'b' 12 B/mono 'c' 12 C/cursive 'd' 12 D/decor 'e' 12 E/any"},
        RtfCase{"DeffChoosesTheDefaultFont", "{\\rtf1\\deff1" + Fonts + "A\\plain B}",
                "[] 'AB' 12 Times New Roman/serif"},
        RtfCase{"SaLiFiTakeEffectAtPar", "{\\rtf1\\li300\\fi-300 A\\par\\sa150 B\\sa300\\par}",
                "[li20 fi-20] 'A' 12 | [sa20 li20 fi-20] 'B' 12"},
        RtfCase{"FirstLineStopsAtTheLeftMargin", "{\\rtf1\\li150\\fi-600 A\\par\\li-50 B}",
                "[li10 fi-10] 'A' 12 | [] 'B' 12"},
        RtfCase{"PardResetsTheParagraph", "{\\rtf1\\sa150\\li300\\tx1500 A\\par\\pard B\\par}",
                "[sa10 li20 tx100] 'A' 12 | [] 'B' 12"},
        RtfCase{"GroupsRestoreTheParagraphState", "{\\rtf1 {\\sa150 A\\par}B\\par}",
                "[sa10] 'A' 12 | [] 'B' 12"},
        RtfCase{"TxSortedAndTabs", "{\\rtf1\\tx1500\\tx750 A\\tab B\tC\\par}",
                "[tx50 tx100] 'A\tB\tC' 12"},
        RtfCase{"HexEscapesInWindows1252", "{\\rtf1 \\'e4\\'DF\\'b0\\'80\\par}", "[] 'äß°€' 12"},
        RtfCase{"RawBytesInWindows1252", "{\\rtf1 \xe4\xdf\xb0\x96\\par}", "[] 'äß°–' 12"},
        RtfCase{"AnsiCpgChangesThePage", "{\\rtf1\\ansi\\ansicpg1251 \\'c0\xe1\\par}",
                "[] 'Аб' 12"},
        RtfCase{"PcAndPcaPages", "{\\rtf1\\pc \\'84\\pca \\'d5}", "[] 'äı' 12"},
        RtfCase{"UWithItsFallback",
                "{\\rtf1 \\u8364?\\uc2\\u8364\\'80\\'80x\\u-200 ??\\uc0\\u228 y}",
                "[] '€€xＸäy' 12"},
        RtfCase{"FallbackEndsAtAGroup", "{\\rtf1\\uc3 \\u8364{a}b}", "[] '€ab' 12"},
        RtfCase{"Symbols",
                "{\\rtf1 a\\line b\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote"
                "\\rdblquote\\~\\_\\-\\\\\\{\\}}",
                QString::fromUtf8("[] 'a\u2028b—–•‘’“”\u00a0\u2011\\{}' 12")},
        RtfCase{"DestinationsAreSkipped",
                "{\\rtf1{\\*\\generator Writer;}{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}"
                "{\\header H}{\\footer F}{\\footnote N}{\\object O}{\\filetbl T}{\\revtbl R}"
                "{\\field{\\*\\fldinst HYPERLINK}"
                "{\\fldrslt Link}}{\\pict\\bin3 }{}}A\\par}",
                "[] 'LinkA' 12"},
        RtfCase{"UnknownWordsAreIgnored", "{\\rtf1\\b\\i0\\ul\\xyz-12 A\\*B}", "[] 'AB' 12"},
        RtfCase{"TextAfterTheDocumentIsIgnored", "{\\rtf1 A}B{C}", "[] 'A' 12"}),
    RowName());

struct HostileCase : NamedRow {
    QByteArray rtf;
    QString expected; // the Dump, or the error message
    bool throws;
};

const QString NotRtf = QStringLiteral("Kein RTF-Text: der Anfang \"{\\rtf\" fehlt");
const QString TooDeep = QStringLiteral("RTF-Text zu tief verschachtelt: mehr als 256 Gruppen");

QByteArray Repeated(const char* piece, int times) {
    return QByteArray(piece).repeated(times);
}

class RtfHostileInput : public ::testing::TestWithParam<HostileCase> {};

TEST_P(RtfHostileInput, GivesADocumentOrTheError) {
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("alt"));
    const HostileCase& c = GetParam();
    if (c.throws) {
        EXPECT_THROW_MSG(ReadRtf(c.rtf, doc, At96), EQZError, c.expected);
        EXPECT_EQ(doc.toPlainText(), QString()) << "nothing half-read stays";
    } else {
        ReadRtf(c.rtf, doc, At96);
        EXPECT_EQ(Dump(doc), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Reader, RtfHostileInput,
    ::testing::Values(
        HostileCase{"Empty", "", NotRtf, true}, HostileCase{"PlainText", "Hallo", NotRtf, true},
        HostileCase{"LeadingSpace", " {\\rtf1 A}", NotRtf, true},
        HostileCase{"Deepest", "{\\rtf1" + Repeated("{", 255) + "A", "[] 'A' 12", false},
        HostileCase{"OneTooDeep", "{\\rtf1" + Repeated("{", 256) + "A", TooDeep, true},
        HostileCase{"AMegabyteOfNesting", "{\\rtf1 A" + Repeated("{", 1 << 20), TooDeep, true},
        HostileCase{"AMegabyteOfClosingBraces", "{\\rtf1 A}" + Repeated("}", 1 << 20), "[] 'A' 12",
                    false},
        HostileCase{"Unclosed", "{\\rtf1 A{\\fs40 B", "[] 'A' 12 'B' 20", false},
        HostileCase{"HugeNumbers",
                    "{\\rtf1\\fs99999999999999999999\\sa-99999999999\\li99999999999"
                    "\\tx99999999999 A}",
                    "[li2112 tx2112] 'A' 1638", false},
        HostileCase{"HugeNegativeNumbers", "{\\rtf1\\fs-99999999999\\fi-99999999999\\cf-5 A}",
                    "[] 'A' 1", false},
        HostileCase{"ThirtyTwoTabStopsAtMost", "{\\rtf1" + Repeated("\\tx15", 40) + " A}",
                    "[" + Repeated("tx1 ", 31) + "tx1] 'A' 12", false},
        HostileCase{"TruncatedEscape", "{\\rtf1 A\\'4", "[] 'A' 12", false},
        HostileCase{"MalformedEscape", "{\\rtf1 A\\'4g\\'zz}", "[] 'Agzz' 12", false},
        HostileCase{"LoneBackslashAtTheEnd", "{\\rtf1 A\\", "[] 'A' 12", false},
        HostileCase{"BinBeyondTheEnd", "{\\rtf1 A\\bin999999999999 xyz}", "[] 'A' 12", false},
        HostileCase{"StructureCharactersStayOut",
                    "{\\rtf1 a\\u8233?\\u-560?\\u-559?\\u65532?\\u0?\x01\x7f b}", "[] 'a b' 12",
                    false},
        HostileCase{"OverlongControlWord",
                    "{\\rtf1 " + Repeated("\\", 1) + Repeated("par", 20) + " A}", "[] 'A' 12",
                    false}),
    RowName());

// The stops between the set ones: 720 twips unless \deftab says otherwise;
// the document's other text options stay.
TEST(RtfReader, DeftabSetsTheDefaultTabStops) {
    QTextDocument doc;
    QTextOption wrapping = doc.defaultTextOption();
    wrapping.setWrapMode(QTextOption::WrapAnywhere);
    doc.setDefaultTextOption(wrapping);
    ReadRtf("{\\rtf1 A}", doc, At96);
    EXPECT_EQ(doc.defaultTextOption().tabStopDistance(), 48);
    ReadRtf("{\\rtf1\\deftab360 A}", doc, At96);
    EXPECT_EQ(doc.defaultTextOption().tabStopDistance(), 24);
    ReadRtf("{\\rtf1\\deftab0\\deftab99999999 A}", doc, At96);
    EXPECT_EQ(doc.defaultTextOption().tabStopDistance(), 2112);
    EXPECT_EQ(doc.defaultTextOption().wrapMode(), QTextOption::WrapAnywhere);
}

TEST(RtfReader, ReadsTheRestOfAStreamInTheGivenCodePage) {
    QByteArray bytes = "xx{\\rtf1 \\'c0\\tx1440 A\\par}";
    QBuffer stream(&bytes);
    ASSERT_TRUE(stream.open(QIODevice::ReadOnly));
    stream.seek(2);
    QTextDocument doc;
    ReadRtf(stream, doc, {1251, 120});
    EXPECT_EQ(Dump(doc), QStringLiteral("[tx120] 'АA' 12"));
}

} // namespace
