#include "game/HelpText.h"

#include "text/TEncoding.h"
#include "ui/RtfReader.h"

#include <QBuffer>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFrame>
#include <QTextFrameFormat>

namespace stakko {

namespace {

// The header in Windows-1252 (DF is "ß", FC is "ü"). The labels after the
// colours are for the reader of this source; RTF readers skip text in the
// colour table. The body uses font 0 only; the others are common faces
// kept at hand for texts to come.
constexpr char HelpHeader[] = "{\\rtf1 \r\n"
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

constexpr char HelpClosing[] = "\\par}";

// Headings in dark red (colour 6), the scoring table on a tab stop at
// 2000 twips (the lines with a literal tab line up the same way), and the
// makers' lines at 9 points. Every paragraph ends with its own "\par";
// the document's closing "\par}" follows them. The English body keeps
// every control word and tab of the German one, paragraph by paragraph.
const QString& GermanHelpBody() {
    static const QString body = QStringLiteral(
        "\\fs32\\cf6\\sa100 Bedienung von Stakko\\par\n"
        "\\pard\\plain\\sa80 Mit den Tasten \"Pfeil links\" und \"Pfeil rechts\" bewegen Sie die "
        "herabfallenden Teile nach links bzw. rechts. Die Tasten L und R können ebenfalls "
        "verwendet werden.\\par\n"
        "\\pard\\plain\\sa80 Die Taste \"Pfeil aufwärts\" dreht das herabfallende Teil um 90° "
        "gegen den Uhrzeigersinn. Die Tasten U und S können ebenfalls zum Drehen benutzt "
        "werden.\\par\n"
        "\\pard\\plain\\sa80 Der Pfeil abwärts lässt das Teil sofort eine Zeile tiefer "
        "fallen.\\par\n"
        "\\pard\\plain\\sa80 Mit der Leertaste können Sie das Teil bis zum Aufschlag fallen "
        "lassen (drop). Dafür erhalten Sie einen Bonuspunkt.\\sa120\\par\n"
        "\\sa100 Ein Klick auf das Vorschaufeld schaltet die Vorschau ein bzw. aus.\\par\n"
        "\\sa100 Mit <ESC> können Sie das Spiel unterbrechen, erneutes <ESC> setzt fort.\\par\n"
        "\\sa100 Klick auf diesen Text oder <ESC> schließt die Hilfe.\\par\n"
        "\\fs28\\cf6 Wertung\\sa120\\par\n"
        "\\pard\\plain\\sa120\\tx2000 \\sa80 Ereignis\\tab Punkte\\par\n"
        "\\sa40 Jedes Teil\\tab 1\\par\n"
        "\\sa40 Fallenlassen\\tab 1\\par\n"
        "\\sa40 1 Zeile   (Single)\t150\\par\n"
        "\\sa40 2 Zeilen (Double)\t450\\par\n"
        "\\sa40 3 Zeilen (Triple) \t900\\par\n"
        "\\sa40 4 Zeilen (Stakko)\t1200\\sa180\\par\n"
        "\\pard\\plain\\cf6\\sa40\\fs18\\tx800 Stakko – ein Spiel der Vomb-Werkstatt\\par\n"
        "e-Mail:\\tab stakko@example.com\\par\n"
        "internet:\\tab https://www.example.com/stakko/\\par\n");
    return body;
}

const QString& EnglishHelpBody() {
    static const QString body = QStringLiteral(
        "\\fs32\\cf6\\sa100 How to play Stakko\\par\n"
        "\\pard\\plain\\sa80 The \"Left arrow\" and \"Right arrow\" keys move the falling "
        "piece to the left or to the right. The L and R keys work as well.\\par\n"
        "\\pard\\plain\\sa80 The \"Up arrow\" key turns the falling piece 90° "
        "anticlockwise. The U and S keys turn it as well.\\par\n"
        "\\pard\\plain\\sa80 The down arrow moves the piece one row down at once.\\par\n"
        "\\pard\\plain\\sa80 The space bar drops the piece all the way down. Each drop earns "
        "you a bonus point.\\sa120\\par\n"
        "\\sa100 Click the preview box to show or hide the next piece.\\par\n"
        "\\sa100 Press <ESC> to pause the game and <ESC> again to resume it.\\par\n"
        "\\sa100 Click this text or press <ESC> to close the help.\\par\n"
        "\\fs28\\cf6 Scoring\\sa120\\par\n"
        "\\pard\\plain\\sa120\\tx2000 \\sa80 Event\\tab Points\\par\n"
        "\\sa40 Each piece\\tab 1\\par\n"
        "\\sa40 Drop\\tab 1\\par\n"
        "\\sa40 1 line   (Single)\t150\\par\n"
        "\\sa40 2 lines (Double)\t450\\par\n"
        "\\sa40 3 lines (Triple) \t900\\par\n"
        "\\sa40 4 lines (Stakko)\t1200\\sa180\\par\n"
        "\\pard\\plain\\cf6\\sa40\\fs18\\tx800 Stakko – a game from the Vomb workshop\\par\n"
        "e-mail:\\tab stakko@example.com\\par\n"
        "web:\\tab https://www.example.com/stakko/\\par\n");
    return body;
}

} // namespace

const QString& HelpBody(TUiLanguage language) {
    return language == TUiLanguage::English ? EnglishHelpBody() : GermanHelpBody();
}

QByteArray HelpDocument(TUiLanguage language) {
    QByteArray text(HelpHeader);
    text += qz::TEncoding::Default()->GetBytes(HelpBody(language));
    text += HelpClosing;
    return text;
}

void LoadHelpText(QTextEdit& richEdit) {
    QByteArray text = HelpDocument(UiLanguage());
    QBuffer stream(&text);
    stream.open(QIODevice::ReadOnly);
    QTextDocument& doc = *richEdit.document();
    qz::ReadRtf(stream, doc, {quint16(qz::TEncoding::Default()->GetCodePage()), 0});
    // The margins belong to the document here (a view margin would not take
    // clicks), so they are set once the document is read.
    QTextFrameFormat frame = doc.rootFrame()->frameFormat();
    frame.setLeftMargin(HelpMargin);
    frame.setRightMargin(HelpMargin);
    doc.rootFrame()->setFrameFormat(frame);
    // The view's cursor moved along with the text read in; the help opens at
    // its top.
    richEdit.moveCursor(QTextCursor::Start);
    if (QWidget* window = richEdit.parentWidget())
        richEdit.setGeometry(window->rect());
}

} // namespace stakko
