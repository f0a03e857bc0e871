// The bytes of a saved INI file in every encoding the document writes: the
// expected text is spelled out line by line, and its bytes are those the
// encoding object gives for the whole text at once, behind its preamble.
#include "settings/QZINI.h"

#include "IniFileTestSupport.h"
#include "common/TestHelpers.h"
#include "text/QZ_Unicd.h"
#include "text/TEncoding.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>

#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace {

using qz::TEncoding;
using qz::TIniStream;

struct EncodingCase {
    const char* name;
    std::function<TEncoding*()> encoding; // null: the system ANSI code page
};

TEncoding* ShiftJis() {
    static qz::TCodePageEncoding page(932);
    return &page;
}

const std::vector<EncodingCase>& EveryEncoding() {
    static const std::vector<EncodingCase> all = {
        {"utf8", TEncoding::UTF8},
        {"utf8NoMark", [] { return static_cast<TEncoding*>(qz::GetUTF8NoBomEncoding()); }},
        {"utf8Scrambled", [] { return static_cast<TEncoding*>(qz::GetUTF8CEncoding()); }},
        {"utf16", TEncoding::Unicode},
        {"utf16BigEndian", TEncoding::BigEndianUnicode},
        {"windows1252", TEncoding::Default},
        {"windows1251", [] { return static_cast<TEncoding*>(qz::AnsiRussianEncoding()); }},
        {"shiftJis", ShiftJis},
        {"raw16", [] { return static_cast<TEncoding*>(qz::GetRAW16Encoding()); }},
        {"none", [] { return static_cast<TEncoding*>(nullptr); }},
    };
    return all;
}

QString Repeated(const QString& piece, int times) {
    QString s;
    for (int i = 0; i < times; ++i)
        s += piece;
    return s;
}

const QString kEmoji = QStringLiteral("\U0001F600");
const QChar kLoneHigh(0xD83D);

struct SaveRow : NamedRow {
    std::function<void(TIniStream&)> build;
    QString savedText; // every line with its CR LF
};

class IniSaveBytesTest : public ::testing::TestWithParam<SaveRow> {};

// Both ways out of the document, the stream and the file object's atomic
// save, hold the same bytes.
TEST_P(IniSaveBytesTest, SavedBytesAreTheWholeTextEncodedOnce) {
    const SaveRow& row = GetParam();
    QTemporaryDir dir;
    for (const EncodingCase& c : EveryEncoding()) {
        SCOPED_TRACE(c.name);
        TEncoding* encoding = c.encoding();
        TEncoding* effective = encoding ? encoding : TEncoding::Default();
        const QByteArray expected = effective->GetPreamble() + effective->GetBytes(row.savedText);

        TIniStream doc;
        row.build(doc);
        QByteArray streamed;
        QBuffer out(&streamed);
        out.open(QIODevice::WriteOnly);
        doc.SaveToStream(out, encoding);
        EXPECT_EQ(streamed, expected);

        const QString path = dir.filePath(QStringLiteral("%1.ini").arg(c.name));
        qz::TIni ini(QString(), encoding, &qz::TIni::IgnoreOnErrorEncoding, {});
        row.build(ini);
        ini.SaveToFile(path, encoding);
        EXPECT_EQ(FileBytes(path), expected);
    }
}

void EveryLineKind(TIniStream& doc) {
    doc.LoadFromList({QStringLiteral(";Einstellungen"), QStringLiteral("[Main]"),
                      QStringLiteral("; comment"), QStringLiteral("plain line"),
                      QStringLiteral("key=value"), QStringLiteral("  spaced key  = v "),
                      QStringLiteral("quoted='a b'"), QStringLiteral("dup=1"),
                      QStringLiteral("dup=1"), QStringLiteral("dup=2"), QStringLiteral("empty="),
                      QStringLiteral(" [bracket=1"), QStringLiteral(" ;semi=2"),
                      QStringLiteral("tab\tkey=x"), QStringLiteral("[Grün]"),
                      QStringLiteral("Größe=Äpfel € Ж ") + kEmoji, QStringLiteral("[Empty]"),
                      QStringLiteral("[Alpha]"), QStringLiteral("k=1")});
    doc.WriteString("Main", "multi", "a\r\nb");
    doc.WriteString("Main", "lone", kLoneHigh + QStringLiteral("x"));
    doc.WriteString("Main", QStringLiteral("end") + kLoneHigh, QStringLiteral("v") + kLoneHigh);
    doc.SectionByName("Main")->AddEntry({}, u"[not a header");
    doc.SectionByName("Main")->AddEntry({}, u"=x");
    doc.GetOrAddSection("Blank")->AddEntry(u"k", u"");
}

INSTANTIATE_TEST_SUITE_P(
    Documents, IniSaveBytesTest,
    ::testing::Values(
        SaveRow{{"everyLineKind"},
                EveryLineKind,
                QStringLiteral(";Einstellungen\r\n\r\n"
                               "[Alpha]\r\nk=1\r\n\r\n"
                               "[Blank]\r\n\r\n"
                               "[Grün]\r\nGröße=Äpfel € Ж ") +
                    kEmoji +
                    QStringLiteral("\r\n\r\n"
                                   "[Main]\r\n; comment\r\nplain line\r\nkey=value\r\n"
                                   "spaced key= v \r\nquoted=a b\r\ndup=1\r\ndup=1\r\ndup=2\r\n"
                                   " [bracket=1\r\n ;semi=2\r\ntab\tkey=x\r\nmulti=a\r\nb\r\n"
                                   "lone=") +
                    kLoneHigh + QStringLiteral("x\r\nend") + kLoneHigh + QStringLiteral("=v") +
                    kLoneHigh + QStringLiteral("\r\n=[not a header\r\n==x\r\n\r\n")},
        SaveRow{{"caseSensitiveMarker"},
                [](TIniStream& doc) {
                    doc.LoadFromList({";$C", "[Beta]", "b=2", "[Alpha]", "a=1"});
                },
                QStringLiteral(";$C\r\n[Alpha]\r\na=1\r\n\r\n[Beta]\r\nb=2\r\n\r\n")},
        // Values far longer than any buffer the encoding goes through, with
        // surrogate pairs on either side of every even or odd position.
        SaveRow{{"longValues"},
                [](TIniStream& doc) {
                    doc.WriteString("S", "ascii", Repeated(QStringLiteral("abcdefg"), 40000));
                    doc.WriteString("S", "even", Repeated(kEmoji, 70000) + u'ä');
                    doc.WriteString("S", "odd", u'a' + Repeated(kEmoji, 70000));
                    doc.WriteString("S", "mixed", Repeated(QStringLiteral("Ä€Ж"), 50000));
                },
                QStringLiteral("[S]\r\nascii=") + Repeated(QStringLiteral("abcdefg"), 40000) +
                    QStringLiteral("\r\neven=") + Repeated(kEmoji, 70000) +
                    QStringLiteral("ä\r\nodd=a") + Repeated(kEmoji, 70000) +
                    QStringLiteral("\r\nmixed=") + Repeated(QStringLiteral("Ä€Ж"), 50000) +
                    QStringLiteral("\r\n\r\n")}),
    RowName());

// A file as the program writes it comes back from a load and a save byte
// for byte, in each encoding a load recognises.
TEST(IniSaveRoundTrip, WrittenFilesComeBackByteForByte) {
    QString text;
    for (int s = 0; s < 40; ++s) {
        text += QStringLiteral("[Spieler %1]\r\n").arg(s, 2, 10, QLatin1Char('0'));
        for (int k = 0; k < 30; ++k) {
            if (k % 10 == 0)
                text += QStringLiteral(";Runde %1\r\n").arg(k);
            text += QStringLiteral("Wert%1=%2 Punkte für Jürgen\r\n").arg(k).arg(s * 7919 + k);
        }
        text += QStringLiteral("\r\n");
    }
    QTemporaryDir dir;
    for (TEncoding* encoding : {TEncoding::UTF8(), TEncoding::Unicode(),
                                TEncoding::BigEndianUnicode(), TEncoding::Default()}) {
        SCOPED_TRACE(encoding->GetEncodingName().toStdString());
        const QByteArray bytes = encoding->GetPreamble() + encoding->GetBytes(text);
        const QString path = dir.filePath("round.ini");
        WriteBytes(path, bytes);
        qz::TIni ini(path, encoding, &qz::TIni::IgnoreOnErrorEncoding, {});
        ini.ChangeFileName(dir.filePath("again.ini"));
        ini.Save();
        EXPECT_EQ(FileBytes(dir.filePath("again.ini")), bytes);
    }
}

// The bytes go to the file while they are made; a write that fails after
// the first chunks (here: the file-size limit) still leaves the old file
// whole and no temporary file behind.
TEST(IniSaveFailure, AWriteFailingHalfwayKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("s.ini");
    WriteBytes(path, "[S]\r\na=old\r\n");
    auto ini = Utf8Ini(path);
    ini->WriteString("S", "big", Repeated(QStringLiteral("x"), 1 << 20));

    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const rlimit small{512 * 1024, old.rlim_max};
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    ini->Save();
    (void)::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);

    EXPECT_TRUE(ini->Modified()); // pending: the end writes it
    EXPECT_EQ(FileBytes(path), "[S]\r\na=old\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"s.ini"});
}

} // namespace
