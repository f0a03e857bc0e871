// The in-window help: the bytes of its RTF document, and the text, colours,
// sizes and tab stops the view holds once it is loaded.
#include "game/HelpText.h"

#include "common/TestHelpers.h"
#include "ui/RtfReader.h"

#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextLayout>

using namespace stakko;

namespace {

const QByteArray ExpectedHeader = "{\\rtf1 \r\n"
                                  "{\\colortbl\r\n"
                                  "\\red255\\green232\\blue212;0:transparent\r\n"
                                  "\\red0\\green0\\blue0;1:schwarz\r\n"
                                  "\\red255\\green255\\blue255;2:wei\xDF\r\n"
                                  "\\red192\\green192\\blue192;3:hellgrau\r\n"
                                  "\\red127\\green127\\blue127;4:grau\r\n"
                                  "\\red255\\green232\\blue212;5:Eierschale\r\n"
                                  "\\red120\\green30\\blue0;6:dunkelrot\r\n"
                                  "\\red255\\green0\\blue0;7:rot\r\n"
                                  "\\red0\\green127\\blue0;8:gr\xFCn\r\n"
                                  "\\red235\\green232\\blue166;9:hellgr\xFCn\r\n"
                                  "\\red0\\green0\\blue127;10:dunkelblau\r\n"
                                  "\\red20\\green50\\blue200;11:blau\r\n"
                                  "\\red0\\green255\\blue255;12:t\xFCrkis\r\n"
                                  "\\red255\\green240\\blue170;13:gelblich\r\n"
                                  "}\r\n"
                                  "{\\fonttbl\r\n"
                                  "{\\f0\\fswiss\\fcharset0\\fprq2 Arial;}\r\n"
                                  "{\\f1\\froman\\fcharset0\\fprq2 Times New Roman;}\r\n"
                                  "{\\f2\\fmodern\\fcharset0\\fprq1 Courier New;}\r\n"
                                  "{\\f3\\ftech\\fcharset2\\fprq2 Symbol;}\r\n"
                                  "{\\f5\\fswiss\\fcharset0\\fprq2 Tahoma;}\r\n"
                                  "{\\f6\\fswiss\\fcharset0\\fprq2 Verdana;}\r\n"
                                  "{\\f7\\fnil\\fcharset2\\fprq2 Wingdings;}\r\n"
                                  "{\\f8\\fmodern\\fcharset0\\fprq1 Courier;}\r\n"
                                  "{\\f9\\fswiss\\fcharset0\\fprq2 MS Sans Serif;}\r\n"
                                  "{\\f10\\fscript\\fcharset0\\fprq2 Comic Sans MS;}\r\n"
                                  "{\\f11\\froman\\fcharset0\\fprq2 Georgia;}\r\n"
                                  "{\\f12\\fswiss\\fcharset0\\fprq2 Trebuchet MS;}\r\n"
                                  "{\\f14\\fmodern\\fcharset0\\fprq1 Lucida Console;}\r\n"
                                  "{\\f15\\froman\\fcharset0\\fprq2 Garamond;}\r\n"
                                  "{\\f16\\fswiss\\fcharset0\\fprq2 Impact;}\r\n"
                                  "}\r\n"
                                  "\\li300\\fi-300 \r\n";

TEST(HelpDocument, IsTheHeaderTheBodyInWindows1252AndTheClosing) {
    const QByteArray doc = HelpDocument(TUiLanguage::German);
    ASSERT_TRUE(doc.startsWith(ExpectedHeader)) << doc.left(ExpectedHeader.size()).toStdString();
    const QByteArray body = doc.mid(ExpectedHeader.size());
    EXPECT_FALSE(body.contains('\r')) << "body lines end with a line feed alone";
    EXPECT_FALSE(body.contains('?')) << "every character of the body has its ANSI byte";

    const QList<QByteArray> lines = body.split('\n');
    ASSERT_EQ(lines.size(), 20) << "nineteen paragraphs and the closing";
    EXPECT_EQ(lines[0], QByteArray("\\fs32\\cf6\\sa100 Bedienung von Stakko\\par"));
    EXPECT_EQ(lines[2], QByteArray("\\pard\\plain\\sa80 Die Taste \"Pfeil aufw\xE4rts\" dreht das "
                                   "herabfallende Teil um 90\xB0 gegen den Uhrzeigersinn. Die "
                                   "Tasten U und S k\xF6nnen ebenfalls zum Drehen benutzt "
                                   "werden.\\par"));
    EXPECT_EQ(lines[7], QByteArray("\\sa100 Klick auf diesen Text oder <ESC> schlie\xDFt die "
                                   "Hilfe.\\par"));
    EXPECT_EQ(lines[9], QByteArray("\\pard\\plain\\sa120\\tx2000 \\sa80 Ereignis\\tab "
                                   "Punkte\\par"));
    EXPECT_EQ(lines[12], QByteArray("\\sa40 1 Zeile   (Single)\t150\\par"));
    EXPECT_EQ(lines[16], QByteArray("\\pard\\plain\\cf6\\sa40\\fs18\\tx800 Stakko \x96 ein Spiel "
                                    "der Vomb-Werkstatt\\par"));
    EXPECT_EQ(lines[18], QByteArray("internet:\\tab https://www.example.com/stakko/\\par"));
    EXPECT_EQ(lines[19], QByteArray("\\par}"));
    // Every one of the nineteen paragraphs ends with its own \par.
    for (qsizetype i = 0; i < 19; ++i)
        EXPECT_TRUE(lines[i].endsWith("\\par")) << lines[i].toStdString();
}

struct HelpParagraph {
    QString text;
    qreal points;
    bool darkRed;
    int spaceAfter; // twips
    int tabStop;    // twips; 0 for none
};

TEST(LoadHelpText, TheViewHoldsTheFormattedHelp) {
    QWidget window;
    window.resize(378, 408);
    auto* view = new QTextBrowser(&window);
    LoadHelpText(*view);
    EXPECT_EQ(view->geometry(), window.rect());
    EXPECT_EQ(view->textCursor().position(), 0) << "the help opens at its top";

    const QTextDocument& doc = *view->document();
    const QTextFrameFormat frame = doc.rootFrame()->frameFormat();
    EXPECT_EQ(frame.leftMargin(), 8);
    EXPECT_EQ(frame.rightMargin(), 8);

    const QList<HelpParagraph> expected = {
        {"Bedienung von Stakko", 16, true, 100, 0},
        {"Mit den Tasten \"Pfeil links\" und \"Pfeil rechts\" bewegen Sie die herabfallenden "
         "Teile nach links bzw. rechts. Die Tasten L und R können ebenfalls verwendet werden.",
         12, false, 80, 0},
        {"Die Taste \"Pfeil aufwärts\" dreht das herabfallende Teil um 90° gegen den "
         "Uhrzeigersinn. Die Tasten U und S können ebenfalls zum Drehen benutzt werden.",
         12, false, 80, 0},
        {"Der Pfeil abwärts lässt das Teil sofort eine Zeile tiefer fallen.", 12, false, 80, 0},
        {"Mit der Leertaste können Sie das Teil bis zum Aufschlag fallen lassen (drop). Dafür "
         "erhalten Sie einen Bonuspunkt.",
         12, false, 120, 0},
        {"Ein Klick auf das Vorschaufeld schaltet die Vorschau ein bzw. aus.", 12, false, 100, 0},
        {"Mit <ESC> können Sie das Spiel unterbrechen, erneutes <ESC> setzt fort.", 12, false, 100,
         0},
        {"Klick auf diesen Text oder <ESC> schließt die Hilfe.", 12, false, 100, 0},
        {"Wertung", 14, true, 120, 0},
        {"Ereignis\tPunkte", 12, false, 80, 2000},
        {"Jedes Teil\t1", 12, false, 40, 2000},
        {"Fallenlassen\t1", 12, false, 40, 2000},
        {"1 Zeile   (Single)\t150", 12, false, 40, 2000},
        {"2 Zeilen (Double)\t450", 12, false, 40, 2000},
        {"3 Zeilen (Triple) \t900", 12, false, 40, 2000},
        {"4 Zeilen (Stakko)\t1200", 12, false, 180, 2000},
        {"Stakko – ein Spiel der Vomb-Werkstatt", 9, true, 40, 800},
        {"e-Mail:\tstakko@example.com", 9, true, 40, 800},
        {"internet:\thttps://www.example.com/stakko/", 9, true, 40, 800},
        // The closing \par ends one more, empty paragraph in the last format.
        {"", 9, true, 40, 800},
    };
    ASSERT_EQ(doc.blockCount(), expected.size());
    const qreal pixelsPerTwip = qz::ScreenDotsPerInch() / 1440.0;
    QTextBlock block = doc.begin();
    for (const HelpParagraph& p : expected) {
        SCOPED_TRACE(p.text.toStdString());
        EXPECT_EQ(block.text(), p.text);
        const QTextBlockFormat par = block.blockFormat();
        EXPECT_DOUBLE_EQ(par.bottomMargin(), p.spaceAfter * pixelsPerTwip);
        QList<QTextOption::Tab> tabs;
        if (p.tabStop)
            tabs << QTextOption::Tab(p.tabStop * pixelsPerTwip, QTextOption::LeftTab);
        EXPECT_EQ(par.tabPositions(), tabs);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat c = it.fragment().charFormat();
            EXPECT_EQ(c.fontPointSize(), p.points);
            EXPECT_EQ(c.fontFamilies().toStringList(), QStringList{"Arial"});
            EXPECT_EQ(c.hasProperty(QTextFormat::ForegroundBrush), p.darkRed);
            if (p.darkRed) {
                EXPECT_EQ(c.foreground().color(), QColor(120, 30, 0));
            }
        }
        block = block.next();
    }
    // Only the heading hangs: every \pard after it takes the indents back.
    EXPECT_DOUBLE_EQ(doc.begin().blockFormat().leftMargin(), 300 * pixelsPerTwip);
    EXPECT_DOUBLE_EQ(doc.begin().blockFormat().textIndent(), -300 * pixelsPerTwip);
    EXPECT_EQ(doc.begin().next().blockFormat().leftMargin(), 0);
}

// Where the text after the tab of a paragraph begins, from the left of
// the text.
qreal XAfterTab(const QTextBlock& block) {
    const QTextLine line = block.layout()->lineAt(0);
    return line.cursorToX(int(block.text().indexOf('\t')) + 1) - line.x();
}

TEST(LoadHelpText, TheScoringTableLinesUpOnItsTabStop) {
    QWidget window;
    window.resize(378, 408);
    auto* view = new QTextBrowser(&window);
    LoadHelpText(*view);
    QTextDocument& doc = *view->document();
    doc.setTextWidth(window.width());
    (void)doc.size(); // lays the document out

    const qreal tabStop = 2000 * qz::ScreenDotsPerInch() / 1440.0;
    for (int n = 9; n <= 15; ++n) {
        const QTextBlock block = doc.findBlockByNumber(n);
        EXPECT_NEAR(XAfterTab(block), tabStop, 0.5) << block.text().toStdString();
    }
    const qreal closingStop = 800 * qz::ScreenDotsPerInch() / 1440.0;
    EXPECT_NEAR(XAfterTab(doc.findBlockByNumber(17)), closingStop, 0.5);
}

} // namespace
