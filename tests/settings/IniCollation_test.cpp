// Section names and keys under the collations of several locales. ICU ships
// the collation data of every locale, so none of these needs a locale
// generated on the machine; the test environment itself runs in C.UTF-8.
#include "settings/QZINI.h"

#include "common/TestHelpers.h"

#include <QLocale>

#include <memory>

namespace {

using qz::TIniStream;

// Puts one locale behind the collation for the life of the object, then the
// system locale back, so that no other test sees it.
class TCollationLocale {
public:
    explicit TCollationLocale(const QString& name) {
        qz::SetIniCollationLocale([locale = QLocale(name)] { return locale; });
    }
    ~TCollationLocale() { qz::SetIniCollationLocale({}); }
    TCollationLocale(const TCollationLocale&) = delete;
    TCollationLocale& operator=(const TCollationLocale&) = delete;
};

QStringList SectionNames(const TIniStream& doc) {
    QStringList names;
    doc.ReadSectionNames(names);
    return names;
}

// ---------------------------------------------------------------- section order

struct OrderRow : NamedRow {
    QString locale;
    bool caseSensitive;
    QStringList headers;  // in the order they are read
    QStringList sections; // the names that result, in list order
};

class SectionOrderTest : public ::testing::TestWithParam<OrderRow> {};

TEST_P(SectionOrderTest, SortsAndMergesNamesInTheLocalesCollation) {
    const OrderRow& row = GetParam();
    const TCollationLocale locale(row.locale);
    TIniStream doc;
    QStringList lines;
    if (row.caseSensitive)
        lines << ";$C";
    for (const QString& header : row.headers)
        lines << "[" + header + "]"
              << "k=" + header;
    doc.LoadFromList(lines);
    EXPECT_EQ(SectionNames(doc), row.sections);
    // Every header finds the section it went into: lookups agree with the order.
    for (const QString& header : row.headers)
        EXPECT_NE(doc.SectionByName(header), nullptr) << header.toStdString();
}

const QStringList kFruit{"Zebra", QStringLiteral("Äpfel"), "Apfel"};
const QStringList kGermanFruitOrder{"Apfel", QStringLiteral("Äpfel"), "Zebra"};
const QStringList kDottedI{"title", "TITLE", QStringLiteral("TİTLE")};
const QStringList kWidthAndKana{"score", QStringLiteral("ｓｃｏｒｅ"), QStringLiteral("かな"),
                                QStringLiteral("カナ")};
const QStringList kCase{"b", "B", "a", "A"};
const QStringList kCedilla{"da", QStringLiteral("ça"), "cz"};

INSTANTIATE_TEST_SUITE_P(
    Locales, SectionOrderTest,
    ::testing::Values(
        // C: code units, with ASCII case folded when case is ignored.
        OrderRow{
            {"cUmlautAfterZ"}, "C", false, kFruit, {"Apfel", "Zebra", QStringLiteral("Äpfel")}},
        OrderRow{{"cUnderscoreFirst"},
                 "C",
                 false,
                 {"Score", "_Stakko", "alpha"},
                 {"_Stakko", "alpha", "Score"}},
        OrderRow{{"cCaseFolds"}, "C", false, kDottedI, {"title", QStringLiteral("TİTLE")}},
        OrderRow{{"cWidthAndKanaDiffer"},
                 "C",
                 false,
                 kWidthAndKana,
                 {"score", QStringLiteral("かな"), QStringLiteral("カナ"),
                  QStringLiteral("ｓｃｏｒｅ")}},
        OrderRow{{"cCaseSensitive"}, "C", true, kCase, {"A", "B", "a", "b"}},
        // German: umlauts beside their letter; width and kana do not count.
        OrderRow{{"deUmlautBesideA"}, "de_DE", false, kFruit, kGermanFruitOrder},
        OrderRow{{"deUnderscoreFirst"},
                 "de_DE",
                 false,
                 {"Score", "_Stakko", "alpha"},
                 {"_Stakko", "alpha", "Score"}},
        OrderRow{{"deCaseFolds"}, "de_DE", false, kDottedI, {"title", QStringLiteral("TİTLE")}},
        OrderRow{{"deWidthAndKanaFold"},
                 "de_DE",
                 false,
                 kWidthAndKana,
                 {"score", QStringLiteral("かな")}},
        OrderRow{{"deCaseSensitive"}, "de_DE", true, kCase, {"a", "A", "b", "B"}},
        OrderRow{{"deCedillaIsC"}, "de_DE", false, kCedilla, {QStringLiteral("ça"), "cz", "da"}},
        // Turkish: I and i are two letters (I with ı, İ with i), ç follows c.
        OrderRow{{"trUmlautBesideA"}, "tr_TR", false, kFruit, kGermanFruitOrder},
        OrderRow{{"trDottedAndDotlessI"}, "tr_TR", false, kDottedI, {"TITLE", "title"}},
        OrderRow{{"trCedillaAfterC"}, "tr_TR", false, kCedilla, {"cz", QStringLiteral("ça"), "da"}},
        // Japanese: width and kana never tell names apart, not even by case.
        OrderRow{{"jaUmlautBesideA"}, "ja_JP", false, kFruit, kGermanFruitOrder},
        OrderRow{{"jaWidthAndKanaFoldWithCase"},
                 "ja_JP",
                 true,
                 kWidthAndKana,
                 {"score", QStringLiteral("かな")}},
        OrderRow{{"jaLatinKanaKanji"},
                 "ja_JP",
                 false,
                 {QStringLiteral("日本"), QStringLiteral("かな"), "Zebra"},
                 {"Zebra", QStringLiteral("かな"), QStringLiteral("日本")}}),
    RowName());

// ---------------------------------------------------------------- many headers at once

// Everything a parse leaves: names in list order, every entry of each.
QStringList Layout(const TIniStream& doc) {
    QStringList out;
    for (int i = 0; i < doc.Count(); ++i) {
        out << "[" + doc.SectionNames(i) + "]";
        const qz::TIniSection* section = doc.Sections(i);
        for (int e = 0; e < section->Count(); ++e)
            out << section->KeyAt(e).toString() + "=" + section->ValueAt(e).toString();
    }
    return out;
}

// The reference: each line parsed the slow way, one section added at a time
// through the document's own lookups, as a file was read before sections
// were filed in bulk.
void ParseOneByOne(TIniStream& doc, const QStringList& lines) {
    qz::TIniSection* current = nullptr;
    for (const QString& line : lines) {
        if (line == ";$C")
            doc.SetCaseSensitive(true);
        else if (line.startsWith('['))
            current = doc.GetOrAddSection(line.mid(1).chopped(1));
        else if (!line.isEmpty())
            (current ? current : current = doc.GetOrAddSection(QString()))->AddLine(line);
    }
}

struct BulkRow : NamedRow {
    QString locale;
    qsizetype caseMarkAt; // line of ";$C", or -1
    bool tiedBefore;      // the document already holds "A" and "a" side by side
};

class SectionBulkTest : public ::testing::TestWithParam<BulkRow> {};

// Names that fold together in some locale and not in another, names a
// repair changes ("Gr\u0096n" is "Gr–n"; ICU ignores the control), and the
// unnamed section, repeated in a shuffled order.
TEST_P(SectionBulkTest, ParsingGivesWhatAddingEachSectionAtOnceGives) {
    const BulkRow& row = GetParam();
    const TCollationLocale locale(row.locale);
    const QStringList names{"a",
                            "A",
                            "b",
                            QStringLiteral("Äpfel"),
                            "apfel",
                            QStringLiteral("äpfel"),
                            "title",
                            QStringLiteral("TİTLE"),
                            QStringLiteral("Gr\u0096n"),
                            QStringLiteral("Gr–n"),
                            "Grn",
                            "",
                            "_x",
                            QStringLiteral("ｓｃｏｒｅ"),
                            "score"};
    QStringList lines{"top=0"};
    quint32 seed = 7;
    for (int i = 0; i < 400; ++i) {
        seed = seed * 1103515245u + 12345u;
        if (i == row.caseMarkAt)
            lines << ";$C";
        lines << "[" + names[qsizetype((seed >> 16) % quint32(names.size()))] + "]"
              << QStringLiteral("k%1=%2").arg(i % 7).arg(i) << ";c";
    }
    TIniStream bulk;
    TIniStream reference;
    if (row.tiedBefore) {
        for (TIniStream* doc : {&bulk, &reference}) {
            ParseOneByOne(*doc, {";$C", "[A]", "x=1", "[a]", "y=2", "[Z]", "z=3"});
            doc->SetCaseSensitive(false);
        }
    }
    bulk.LoadFromList(lines);
    ParseOneByOne(reference, lines);
    EXPECT_EQ(Layout(bulk), Layout(reference));
    EXPECT_EQ(bulk.CaseSensitive(), reference.CaseSensitive());
    // A lookup by name (which answers identical names by hash) finds what
    // the search in the list's order finds, also where names tie.
    const qz::TIniSectionList& list = bulk.SectionList();
    QStringList asked = names;
    asked << "a"
          << "A"
          << "Z"
          << "z";
    for (int i = 0; i < list.Count(); ++i)
        asked << list.Names(i);
    for (const QString& name : asked)
        EXPECT_EQ(list.Find(name), list.Sections(list.IndexOf(name))) << name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Locales, SectionBulkTest,
    ::testing::Values(BulkRow{{"c"}, "C", -1, false}, BulkRow{{"cCaseMarkMidway"}, "C", 200, false},
                      BulkRow{{"cTiedBefore"}, "C", -1, true}, BulkRow{{"de"}, "de_DE", -1, false},
                      BulkRow{{"deCaseMarkMidway"}, "de_DE", 150, false},
                      BulkRow{{"deTiedBefore"}, "de_DE", 300, true},
                      BulkRow{{"tr"}, "tr_TR", -1, false}, BulkRow{{"ja"}, "ja_JP", 50, true}),
    RowName());

// ---------------------------------------------------------------- keys

struct KeyRow : NamedRow {
    QString locale;
    QString stored;
    QString asked;
    bool found;
};

class KeyMatchTest : public ::testing::TestWithParam<KeyRow> {};

// ASCII keys are matched by folding unless the locale's collation disagrees
// with it, as Turkish does: that must not be taken for a plain match.
TEST_P(KeyMatchTest, MatchesKeysInTheLocalesCollation) {
    const KeyRow& row = GetParam();
    const TCollationLocale locale(row.locale);
    TIniStream doc;
    doc.LoadFromList({"[S]", "other=0", row.stored + "=1"});
    EXPECT_EQ(doc.ReadString("S", row.asked, "-"), row.found ? "1" : "-");
}

INSTANTIATE_TEST_SUITE_P(
    Locales, KeyMatchTest,
    ::testing::Values(
        KeyRow{{"cAsciiCase"}, "C", "Title", "TITLE", true},
        KeyRow{{"cFullWidthDiffers"}, "C", QStringLiteral("ｋｅｙ"), "key", false},
        KeyRow{{"deAsciiCase"}, "de_DE", "Title", "TITLE", true},
        KeyRow{{"deUmlautCase"}, "de_DE", QStringLiteral("Größe"), QStringLiteral("GRÖßE"), true},
        KeyRow{{"trDotlessIDiffers"}, "tr_TR", "Title", "TITLE", false},
        KeyRow{{"trDottedCapitalI"}, "tr_TR", "title", QStringLiteral("TİTLE"), true},
        KeyRow{{"trOtherLettersFold"}, "tr_TR", "Best", "BEST", true},
        KeyRow{{"jaAsciiCase"}, "ja_JP", "Title", "TITLE", true},
        KeyRow{{"jaFullWidthFolds"}, "ja_JP", QStringLiteral("ｋｅｙ"), "key", true}),
    RowName());

// ---------------------------------------------------------------- the seam

TEST(IniCollationSeam, ADocumentKeepsTheCollationItWasMadeWith) {
    std::unique_ptr<TIniStream> german;
    {
        const TCollationLocale locale("de_DE");
        german = std::make_unique<TIniStream>();
    }
    const TCollationLocale turkish("tr_TR");
    german->LoadFromList({"[Zebra]", "a=1", QStringLiteral("[Äpfel]"), "b=2", "[Apfel]", "c=3",
                          "[TITLE]", "d=4", "[title]", "e=5"});
    EXPECT_EQ(SectionNames(*german),
              (QStringList{"Apfel", QStringLiteral("Äpfel"), "TITLE", "Zebra"}));
    EXPECT_EQ(german->ReadString(QStringLiteral("äPFEL"), "b", "-"), "2");
    EXPECT_EQ(german->ReadString("Title", "e", "-"), "5");
}

TEST(IniCollationSeam, AnEmptySourceGivesTheSystemLocaleBack) {
    if (QLocale::system().language() != QLocale::C)
        GTEST_SKIP() << "runs where the locale is pinned to C.UTF-8, as ctest does";
    { const TCollationLocale locale("de_DE"); }
    TIniStream doc;
    doc.LoadFromList({"[Zebra]", QStringLiteral("[Äpfel]"), "[Apfel]"});
    EXPECT_EQ(SectionNames(doc), (QStringList{"Apfel", "Zebra", QStringLiteral("Äpfel")}));
}

} // namespace
