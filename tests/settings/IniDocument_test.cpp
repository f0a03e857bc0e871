#include "settings/QZINI.h"

#include "common/TestHelpers.h"
#include "text/TEncoding.h"

#include <QBuffer>
#include <QLocale>

#include <cmath>
#include <limits>

namespace {

using qz::TIniSection;
using qz::TIniStream;

QStringList Saved(const TIniStream& doc) {
    QStringList lines;
    doc.SaveToList(lines);
    return lines;
}

// ---------------------------------------------------------------- line parsing

struct LineCase : NamedRow {
    QString line;
    QString key;   // expected key of the single entry
    QString value; // expected value of the single entry
    bool stored;   // whether an entry is made at all
};

class AddLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(AddLineTest, ParsesOneLine) {
    const LineCase& c = GetParam();
    TIniSection section;
    section.AddLine(c.line);
    ASSERT_EQ(section.Count(), c.stored ? 1 : 0);
    if (!c.stored)
        return;
    EXPECT_EQ(section.KeyAt(0).toString(), c.key);
    EXPECT_EQ(section.getValues(0), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, AddLineTest,
    ::testing::Values(LineCase{"plain", "a=b", "a", "b", true},
                      LineCase{"spacesAroundKey", "  key  = value", "key", " value", true},
                      LineCase{"tabStaysInKey", "\tkey\t=v", "\tkey\t", "v", true},
                      LineCase{"firstEqualsSplits", "a=b=c", "a", "b=c", true},
                      LineCase{"emptyValueDropped", "key=", "", "", false},
                      LineCase{"quotedEmpty", "key=''", "key", "", true},
                      LineCase{"quotedValue", "key='x y'", "key", "x y", true},
                      LineCase{"singleApostropheKept", "key='", "key", "'", true},
                      LineCase{"apostropheOnlyAtStart", "key='abc", "key", "'abc", true},
                      LineCase{"apostropheNotAtValueStart", "key= 'a'", "key", " 'a'", true},
                      LineCase{"commentWithEquals", ";a=b", "", ";a=b", true},
                      LineCase{"noEquals", "just text", "", "just text", true},
                      LineCase{"spacesOnly", "   ", "", "   ", true},
                      LineCase{"leadingEquals", "=x", "", "x", true},
                      LineCase{"spacesThenEquals", "  =x", "", "x", true},
                      LineCase{"emptyLine", "", "", "", false}),
    RowName());

TEST(IniDocumentParse, HeadersAndSectionNames) {
    TIniStream doc;
    doc.LoadFromList({"top=1", "[Name", "a=1", "[a]b]", "b=2", "[ x ]", "c=3", "[]", "d=4"});
    QStringList names;
    doc.ReadSectionNames(names);
    // The unnamed section (also reached by "[]") sorts first.
    EXPECT_EQ(names, (QStringList{"", " x ", "a]b", "Name"}));
    EXPECT_EQ(doc.ReadString("", "top", "-"), "1");
    EXPECT_EQ(doc.ReadString("", "d", "-"), "4");
    EXPECT_EQ(doc.ReadString("name", "A", "-"), "1");
    EXPECT_EQ(doc.ReadString("a]b", "b", "-"), "2");
    EXPECT_EQ(doc.ReadString(" x ", "c", "-"), "3");
    EXPECT_EQ(doc.ReadString("x", "c", "-"), "-");
}

TEST(IniDocumentParse, HeadersDifferingInCaseFillOneSectionUnlessCaseSensitive) {
    TIniStream plain;
    plain.LoadFromList({"[A]", "x=1", "[a]", "y=2"});
    EXPECT_EQ(plain.Count(), 1);
    EXPECT_EQ(Saved(plain), (QStringList{"[A]", "x=1", "y=2", ""}));

    TIniStream marked;
    marked.LoadFromList({";$C", "[A]", "x=1", "[a]", "y=2"});
    EXPECT_TRUE(marked.CaseSensitive());
    EXPECT_EQ(marked.Count(), 2);
    EXPECT_EQ(marked.ReadString("a", "x", "-"), "-");
    EXPECT_EQ(marked.ReadString("A", "X", "-"), "1"); // keys still ignore case
    const QStringList saved = Saved(marked);
    ASSERT_EQ(saved.size(), 7);
    EXPECT_EQ(saved.first(), ";$C");
    EXPECT_TRUE(saved.contains("[A]") && saved.contains("[a]"));

    // Turning case off again keeps both sections; lookups find one of them.
    marked.SetCaseSensitive(false);
    EXPECT_EQ(marked.Count(), 2);
    EXPECT_NE(marked.ReadString("a", "x", "-") + marked.ReadString("a", "y", "-"), "--");
}

TEST(IniDocumentParse, DuplicateKeysKeptAndWrittenBackReadsAndWritesUseTheFirst) {
    TIniStream doc;
    doc.LoadFromList({"[S]", "k=1", "K=2"});
    EXPECT_EQ(doc.ReadString("S", "k", ""), "1");
    doc.WriteString("S", "K", "9");
    EXPECT_EQ(Saved(doc), (QStringList{"[S]", "k=9", "K=2", ""}));
}

TEST(IniDocumentParse, KeysMatchIgnoringCaseBeyondAsciiToo) {
    TIniStream doc;
    doc.LoadFromList({"[Maße]", "Größe=1", "\tTab=2", "Key1=3", "key10=4"});
    EXPECT_EQ(doc.ReadString("MAßE", "GRÖßE", "-"), "1");
    EXPECT_EQ(doc.ReadString("maße", "\ttab", "-"), "2");
    EXPECT_EQ(doc.ReadString("maße", "KEY10", "-"), "4");
    EXPECT_EQ(doc.ReadString("maße", "KEY1", "-"), "3");
    EXPECT_EQ(doc.ReadString("maße", "KEY", "-"), "-");
}

TEST(IniDocumentParse, QuotedEmptyValueReadsAsDefaultAndIsGoneAfterSave) {
    TIniStream doc;
    doc.LoadFromList({"[S]", "key=''", "other=1"});
    EXPECT_EQ(doc.ReadString("S", "key", "def"), "def");
    EXPECT_EQ(Saved(doc), (QStringList{"[S]", "other=1", ""}));
}

// ---------------------------------------------------------------- layouts

TEST(IniDocumentLayout, SaveToListExampleAndEmptySections) {
    TIniStream doc;
    doc.LoadFromList({";top", "[Beta]", "x=1", "[alpha]", "b=2", "a=''", ";note", "[Empty]"});
    EXPECT_EQ(Saved(doc),
              (QStringList{";top", "", "[alpha]", "b=2", ";note", "", "[Beta]", "x=1", ""}));

    // Plain lines that would read back as a header, or lose their "=",
    // are written behind an "=" and come back as they were.
    TIniStream tricky;
    tricky.LoadFromList({"[S]", "=[x]", "==y", "  [k=2", " ;c=3", "after=1"});
    const QStringList trickySaved = Saved(tricky);
    EXPECT_EQ(trickySaved, (QStringList{"[S]", "=[x]", "==y", " [k=2", " ;c=3", "after=1", ""}));
    TIniStream reread;
    reread.LoadFromList(trickySaved);
    EXPECT_EQ(reread.Count(), 1);
    EXPECT_EQ(reread.SectionByName("S")->GetSectionText(), "[x]\r=y\r[k=2\r;c=3\rafter=1");

    // A line of spaces is kept and written back unchanged.
    TIniStream spaces;
    spaces.LoadFromList({"[S]", "   ", "", "a=1"});
    EXPECT_EQ(Saved(spaces), (QStringList{"[S]", "   ", "a=1", ""}));

    // Only empty values: header and empty line, yet the document is empty.
    TIniStream hollow;
    hollow.LoadFromList({"[S]", "a=''"});
    EXPECT_EQ(Saved(hollow), (QStringList{"[S]", ""}));
    EXPECT_TRUE(hollow.isEmpty());
    hollow.LoadFromList({";comment"});
    EXPECT_FALSE(hollow.isEmpty()); // comments count as values
}

TEST(IniDocumentLayout, GetTextShowsEverySectionWithItsHeader) {
    TIniStream doc;
    doc.LoadFromList({"u", "[B]", "x=1", "y=''", "[A]"});
    EXPECT_EQ(doc.GetText("|"), "[]|u||[A]||[B]|x=1|y=||");
    EXPECT_EQ(doc.SectionByName("b")->GetSectionText(), "x=1\ry=");
}

TEST(IniDocumentLayout, UnderscoreSortsBeforeLettersInThisLocale) {
    TIniStream doc;
    doc.WriteString("Score", "Best", "Ace");
    doc.WriteString("_Stakko", "withSound", "0");
    doc.WriteString("alpha", "a", "1");
    QStringList names;
    doc.ReadSectionNames(names);
    EXPECT_EQ(names, (QStringList{"_Stakko", "alpha", "Score"}));
}

// ---------------------------------------------------------------- typed reads

struct ReadCase : NamedRow {
    QString text; // stored value; empty means the key is missing
    bool asBool;
    qint32 asInteger;
    qint64 asInt64;
};

class TypedReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(TypedReadTest, ReadsWithDefaults) {
    const ReadCase& c = GetParam();
    TIniStream doc;
    if (!c.text.isEmpty())
        doc.WriteString("S", "k", c.text);
    EXPECT_EQ(doc.ReadBool("S", "k", true), c.asBool);
    EXPECT_EQ(doc.ReadInteger("S", "k", 77), c.asInteger);
    EXPECT_EQ(doc.ReadInt64("S", "k", 77), c.asInt64);
}

constexpr qint32 kMin32 = std::numeric_limits<qint32>::min();
constexpr qint64 kMin64 = std::numeric_limits<qint64>::min();

INSTANTIATE_TEST_SUITE_P(
    Values, TypedReadTest,
    ::testing::Values(
        ReadCase{"missing", "", true, 77, 77}, ReadCase{"one", "1", true, 1, 1},
        ReadCase{"zero", "0", false, 0, 0}, ReadCase{"doubleZero", "00", true, 0, 0},
        ReadCase{"minusOne", "-1", false, -1, -1}, ReadCase{"wordFalse", "false", true, 0, 77},
        ReadCase{"wordNo", "no", true, 0, 77}, ReadCase{"leadingSpace", " 1", false, 1, 1},
        ReadCase{"trailingSpace", "12 ", true, 0, 77}, ReadCase{"plusSign", "+5", false, 5, 5},
        ReadCase{"dollarHex", "$10", false, 16, 16}, ReadCase{"xHex", "x1f", true, 31, 31},
        ReadCase{"zeroXHex", "0X1F", true, 31, 31},
        ReadCase{"negativeHex", "-$10", false, -16, -16},
        ReadCase{"hexBitPattern", "$FFFFFFFF", false, -1, 0xFFFFFFFF},
        ReadCase{"hexLeadingZeros", "$000000000001", false, 1, 1},
        ReadCase{"hexTooWide", "$100000000", false, 0, 0x100000000},
        ReadCase{"hex64Pattern", "$FFFFFFFFFFFFFFFF", false, 0, -1},
        ReadCase{"hexNoDigits", "$", false, 0, 77}, ReadCase{"zeroXNoDigits", "0x", true, 0, 77},
        ReadCase{"max32", "2147483647", true, 2147483647, 2147483647},
        ReadCase{"min32", "-2147483648", false, kMin32, kMin32},
        ReadCase{"over32", "2147483648", true, 0, 2147483648},
        ReadCase{"min64", "-9223372036854775808", false, 0, kMin64},
        ReadCase{"over64", "9223372036854775808", true, 0, 77},
        ReadCase{"signOnly", "-", false, 0, 77}, ReadCase{"decimalPoint", "1.5", true, 0, 77}),
    RowName());

TEST(IniDocumentRead, DoubleRoundTripKeepsEveryBitPattern) {
    const double values[] = {1.0,
                             -0.0,
                             0.0,
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::denorm_min(),
                             std::bit_cast<double>(quint64(0x7FF8000000000001)),
                             std::bit_cast<double>(quint64(0xFFF0000000000ABC)),
                             -123.456e300};
    for (double v : values) {
        TIniStream doc;
        doc.WriteDouble("S", "d", v);
        EXPECT_EQ(std::bit_cast<quint64>(doc.ReadDouble("S", "d", 5.0)), std::bit_cast<quint64>(v))
            << doc.ReadString("S", "d", "").toStdString();
    }
    TIniStream doc;
    doc.WriteDouble("S", "one", 1.0);
    EXPECT_EQ(doc.ReadString("S", "one", ""), "3FF0000000000000");
}

TEST(IniDocumentRead, DoubleHexScan) {
    EXPECT_EQ(TIniStream::HexTextToDouble(u"$3FF0000000000000"), 1.0);
    EXPECT_EQ(TIniStream::HexTextToDouble(u"3ff0000000000000"), 1.0);
    EXPECT_EQ(std::bit_cast<quint64>(TIniStream::HexTextToDouble(u"1.5")), 1u);
    EXPECT_EQ(std::bit_cast<quint64>(TIniStream::HexTextToDouble(u"-3FF0000000000000")), 0u);
    EXPECT_EQ(std::bit_cast<quint64>(TIniStream::HexTextToDouble(u" 1")), 0u);
    // More than sixteen digits keep the low 64 bits.
    EXPECT_EQ(TIniStream::HexTextToDouble(u"AB3FF0000000000000"), 1.0);
    TIniStream doc;
    EXPECT_EQ(doc.ReadDouble("S", "missing", 2.5), 2.5);
}

TEST(IniDocumentRead, FloatInLocaleFormatAndPoints) {
    TIniStream doc;
    // Floats are written in the user's own number format.
    doc.LoadFromList({"[S]", "f=" + QLocale::system().toString(2.5), "bad=2,5x", "p=10,20",
                      "q=10, 20", "r=(1,2)", "h=$10,-3"});
    EXPECT_EQ(doc.ReadFloat("S", "f", 9.0), 2.5);
    EXPECT_EQ(doc.ReadFloat("S", "bad", 9.0), 9.0);
    EXPECT_EQ(doc.ReadFloat("S", "none", 9.0), 9.0);
    EXPECT_EQ(doc.ReadPoint("S", "p", ""), QPoint(10, 20));
    EXPECT_EQ(doc.ReadPoint("S", "q", ""), QPoint(10, 0));
    EXPECT_EQ(doc.ReadPoint("S", "r", ""), QPoint(0, 0));
    EXPECT_EQ(doc.ReadPoint("S", "h", ""), QPoint(16, -3));
    EXPECT_EQ(doc.ReadPoint("S", "none", "3,4"), QPoint(3, 4));
    EXPECT_EQ(doc.ReadPoint("S", "none", ""), QPoint(0, 0));
}

// ---------------------------------------------------------------- writes

TEST(IniDocumentWrite, ModifiedOnlyWhenSomethingChanges) {
    TIniStream doc;
    doc.LoadFromList({"[S]", "a=1", ";c"});
    EXPECT_FALSE(doc.Modified());
    doc.WriteString("s", "A", "1");
    EXPECT_FALSE(doc.Modified());
    doc.WriteString("T", "x", ""); // nothing to remove: no section either
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(doc.Count(), 1);
    doc.WriteString("S", "", "x"); // an empty key never touches plain lines
    EXPECT_FALSE(doc.Modified());
    doc.WriteString("S", "a", "");
    EXPECT_TRUE(doc.Modified());
    EXPECT_EQ(doc.ReadString("S", "a", "gone"), "gone");
    EXPECT_EQ(Saved(doc), (QStringList{"[S]", ";c", ""}));

    TIniStream typed;
    typed.WriteBool("S", "t", true);
    typed.WriteBool("S", "f", false);
    typed.WriteInteger("S", "n", -42);
    EXPECT_EQ(Saved(typed), (QStringList{"[S]", "t=1", "f=0", "n=-42", ""}));
    EXPECT_FALSE(typed.ReadBool("S", "f", true));
}

TEST(IniDocumentWrite, ManyRewritesKeepValuesIntact) {
    TIniStream doc;
    for (int i = 0; i < 5000; ++i) {
        doc.WriteInteger("S", "counter", i);
        doc.WriteString("S", QStringLiteral("k%1").arg(i % 7), QString(i % 50, u'x'));
    }
    EXPECT_EQ(doc.ReadInteger("S", "counter", -1), 4999);
    EXPECT_EQ(doc.ReadString("S", "k1", ""), QString(4999 % 50, u'x'));
    EXPECT_EQ(doc.ReadString("S", "k3", "-"), QString(4994 % 50, u'x'));
}

TEST(IniDocumentWrite, SectionLinesAndNames) {
    TIniStream doc;
    doc.LoadFromList({"[S]", "a=1", ";c", "plain", "b=''"});
    QStringList list;
    doc.ReadSectionLines("S", list, true);
    EXPECT_EQ(list, (QStringList{"a=1", ";c", "plain", "b="}));
    doc.ReadSectionLines("S", list, false);
    EXPECT_EQ(list, (QStringList{"a=1", "plain", "b="}));
    doc.ReadSectionLineNames("S", list);
    EXPECT_EQ(list, (QStringList{"a", "b"}));
    doc.ReadSectionLines("missing", list, true);
    EXPECT_TRUE(list.isEmpty());

    doc.WriteSectionLines("L", {"x=1", ";skip", "y"}, false);
    EXPECT_TRUE(doc.Modified());
    // Stored as plain lines: no key "x" until saved and read again.
    EXPECT_EQ(doc.ReadString("L", "x", "-"), "-");
    TIniStream reread;
    reread.LoadFromList(Saved(doc));
    EXPECT_EQ(reread.ReadString("L", "x", "-"), "1");
    reread.ReadSectionLines("L", list, true);
    EXPECT_EQ(list, (QStringList{"x=1", "y"}));

    TIniSection kw;
    kw.SetKWSectionLines({"a = 1", "b=", "c"});
    EXPECT_EQ(kw.getString("A"), " 1");
    EXPECT_EQ(kw.Count(), 2);
}

TEST(IniDocumentWrite, DuplicatesSortingAndSections) {
    TIniStream doc;
    doc.LoadFromList({"[S]", "b=2", "a=1", ";z", "b=2", "a=3", ";z", "b=2"});
    doc.DelDupLines();
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(Saved(doc), (QStringList{"[S]", ";z", "a=1", "a=3", "b=2", ""}));

    TIniStream sorted;
    sorted.LoadFromList({"[S]", "c=1", "B=2", "a=3", "b=4"});
    sorted.SortKeywords();
    EXPECT_EQ(Saved(sorted), (QStringList{"[S]", "a=3", "B=2", "b=4", "c=1", ""}));

    auto fresh = std::make_unique<TIniSection>();
    sorted.AddSection("New", fresh);
    EXPECT_EQ(fresh, nullptr);
    EXPECT_TRUE(sorted.Modified());
    EXPECT_EQ(sorted.ReadString("new", "?", ""), "?");

    TIniStream other;
    other.LoadFromList({"[S]", "k=v"});
    auto taken = std::make_unique<TIniSection>();
    taken->AddLine(u"q=1");
    other.AddSection("s", taken); // exists: stays the caller's
    ASSERT_NE(taken, nullptr);
    EXPECT_FALSE(other.Modified());
    EXPECT_EQ(other.ReadString("S", "q", "-"), "-");

    other.ClearSection("nothing");
    EXPECT_FALSE(other.Modified());
    other.ClearSection("s");
    EXPECT_TRUE(other.Modified());
    EXPECT_EQ(other.Count(), 0);
}

TEST(IniDocumentWrite, RenameKeepsTheListSortedAndRefusesTakenNames) {
    TIniStream doc;
    doc.LoadFromList({"[A]", "a=1", "[M]", "m=1", "[Z]", "z=1"});
    EXPECT_TRUE(doc.RenameSection(0, "Q"));
    QStringList names;
    doc.ReadSectionNames(names);
    EXPECT_EQ(names, (QStringList{"M", "Q", "Z"}));
    EXPECT_EQ(doc.ReadString("q", "a", "-"), "1");
    EXPECT_FALSE(doc.RenameSection(0, "z"));
    EXPECT_TRUE(doc.RenameSection(0, "m")); // its own name in another case
    doc.ReadSectionNames(names);
    EXPECT_EQ(names, (QStringList{"m", "Q", "Z"}));
    EXPECT_FALSE(doc.RenameSection(7, "X"));
}

// Names are hashed in an open-addressing table: every removal moves the
// names probed past it, and a section taken out leaves with its entries.
TEST(IniDocumentWrite, LookupsStayRightWhileSectionsComeAndGo) {
    TIniStream doc;
    QStringList lines;
    for (int i = 0; i < 3000; ++i)
        lines << QStringLiteral("[S%1]").arg(i * 7919 % 3000) << QStringLiteral("k=%1").arg(i);
    doc.LoadFromList(lines);
    ASSERT_EQ(doc.Count(), 3000);
    for (int i = 0; i < 3000; i += 3)
        doc.ClearSection(QStringLiteral("S%1").arg(i));
    for (int i = 1; i < 3000; i += 9)
        ASSERT_TRUE(doc.RenameSection(doc.SectionList().IndexOf(QStringLiteral("S%1").arg(i)),
                                      QStringLiteral("R%1").arg(i)));
    doc.WriteString("S0", "k", "again");
    auto taken = doc.SectionList().Extract(doc.SectionList().IndexOf("S2"));
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(taken->getString("k"), "358"); // [S2] is the 358th header
    for (int i = 0; i < 3000; ++i) {
        const QString name = QStringLiteral("S%1").arg(i);
        const QString renamed = QStringLiteral("R%1").arg(i);
        const bool gone = (i % 3 == 0 && i != 0) || i == 2;
        const bool moved = i % 9 == 1;
        EXPECT_EQ(doc.SectionByName(name) != nullptr, !gone && !moved) << i;
        EXPECT_EQ(doc.SectionByName(renamed) != nullptr, moved) << i;
        if (!gone) {
            const QString now = moved ? renamed : name;
            EXPECT_EQ(doc.SectionByName(now), doc.Sections(doc.SectionList().IndexOf(now))) << i;
        }
    }
    EXPECT_EQ(doc.ReadString("s0", "k", ""), "again");
}

TEST(IniDocumentWrite, CloneCopiesEveryEntryInOrder) {
    TIniSection s;
    s.AddLine(u"b=2");
    s.AddLine(u";c");
    s.AddLine(u"a=1");
    s.setKeyVal("b", "3");
    const auto copy = s.Clone();
    EXPECT_EQ(copy->GetSectionText(), "b=3\r;c\ra=1");
}

// ---------------------------------------------------------------- names

TEST(IniDocumentNames, RepairMendsLatin1DecodedHeadersAndFindsThemByEitherName) {
    const QString broken = QStringLiteral("Gr\u0096n \u0080");
    EXPECT_EQ(TIniStream::RepairSectionName(broken), QStringLiteral("Gr\u2013n \u20AC"));
    EXPECT_EQ(TIniStream::RepairSectionName("Größe"), "Größe");
    // A name that was not read byte for character is not touched, so a
    // repaired name survives being saved and read again.
    const QString mixed = QStringLiteral("\u20AC\u0081 \u2013");
    EXPECT_EQ(TIniStream::RepairSectionName(mixed), mixed);
    EXPECT_EQ(TIniStream::RepairSectionName(QStringLiteral("\u0096?")), QStringLiteral("\u2013?"));

    TIniStream doc;
    doc.LoadFromList({"[" + broken + "]", "a=1"});
    QStringList names;
    doc.ReadSectionNames(names);
    EXPECT_EQ(names, QStringList{QStringLiteral("Gr\u2013n \u20AC")});
    EXPECT_EQ(doc.ReadString(broken, "a", "-"), "1");
    doc.LoadFromList({"[" + broken + "]", "b=2"});
    EXPECT_EQ(doc.Count(), 1);
    EXPECT_EQ(doc.ReadString(QStringLiteral("Gr\u2013n \u20AC"), "b", "-"), "2");
}

// ---------------------------------------------------------------- streams

TEST(IniDocumentStream, SaveAndLoadInEveryEncoding) {
    TIniStream doc;
    doc.LoadFromList({"[Größe]", "k=Ä€"});
    for (qz::TEncoding* enc : {qz::TEncoding::UTF8(), qz::TEncoding::Unicode(),
                               qz::TEncoding::BigEndianUnicode(), qz::TEncoding::Default()}) {
        QByteArray bytes;
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        doc.SaveToStream(out, enc);
        out.close();
        EXPECT_EQ(bytes, enc->GetPreamble() + enc->GetBytes("[Größe]\r\nk=Ä€\r\n\r\n"));

        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        TIniStream back;
        back.LoadFromStream(in);
        EXPECT_EQ(back.Encoding(), enc);
        EXPECT_EQ(back.ReadString("größe", "K", ""), "Ä€");
    }
    // Without an encoding the system ANSI code page is used.
    QByteArray ansi;
    QBuffer out(&ansi);
    out.open(QIODevice::WriteOnly);
    doc.SaveToStream(out, nullptr);
    EXPECT_EQ(ansi, QByteArray("[Gr\xF6\xDF"
                               "e]\r\nk=\xC4\x80\r\n\r\n"));
}

TEST(IniDocumentStream, BadUtf8IsLoadedLineByLineAndReported) {
    QByteArray bytes("\xEF\xBB\xBF[S]\r\na=\xE4\r\nb=ok\r\nc=\xFC");
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    TIniStream doc;
    qint32 reported = 0;
    doc.SetOnEncodingError([&](TIniStream* sender, qint32 line) {
        EXPECT_EQ(sender, &doc);
        reported = line;
    });
    doc.LoadFromStream(in);
    EXPECT_EQ(reported, 4); // the last line without a line break counts too
    EXPECT_EQ(doc.ReadString("S", "a", ""), "ä");
    EXPECT_EQ(doc.ReadString("S", "b", ""), "ok");
    EXPECT_EQ(doc.ReadString("S", "c", ""), "ü");
}

TEST(IniDocumentStream, LineByLineDecodingOfUtf16KeepsTwoByteLineEnds) {
    // U+0D0A would be a CR LF pair if the bytes were split one at a time.
    const QString text = QStringLiteral("[S]\r\na=\u0D0A\r\n");
    QStringList lines;
    EXPECT_EQ(qz::DecodeBytesLineByLine(qz::TEncoding::Unicode()->GetPreamble() +
                                            qz::TEncoding::Unicode()->GetBytes(text),
                                        qz::TEncoding::Unicode(), lines),
              -1);
    EXPECT_EQ(lines, (QStringList{"[S]", QStringLiteral("a=\u0D0A")}));
}

} // namespace
