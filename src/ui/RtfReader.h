#pragma once
// Our reader of the RTF subset that the program's own rich texts use (the
// in-window help). It knows groups with their character and paragraph
// state, \par, \pard, \plain, \fsN, \cfN, \fN, \saN, \liN, \fiN, \txN,
// \deftabN, \tab and literal tabs, \line and a few typographic symbols,
// \'hh escapes and 8-bit bytes in the document's code page (\ansi,
// \ansicpgN, \pc, \pca), \uN with its \ucN fallback, and \binN. The
// font table gives names and families, the colour table the colours; every
// {\* ...} group and the destinations it has no use for (styles, pictures,
// headers, document information, ...) are skipped, unknown control words
// ignored.
//
//   QTextDocument doc;
//   qz::ReadRtf("{\\rtf1{\\colortbl;\\red120\\green30\\blue0;}\\cf1 Hallo\\par}", doc);
//   // doc: one block "Hallo" in RGB 120,30,0
//
// Lenient as a rich edit is: groups still open at the end of the text are
// closed, and what follows the closing brace of the document is ignored.
// Two inputs throw EQZError: a text that does not begin with "{\rtf", and
// groups nested deeper than RtfMaxGroupDepth. The parser keeps its groups
// on a bounded stack of its own (no recursion), and every number it reads
// is clamped, so no input makes it crash or hang.

#include <QByteArray>
#include <QtGlobal>

class QIODevice;
class QTextDocument;

namespace qz {

inline constexpr int RtfMaxGroupDepth = 256;

struct TRtfReadOptions {
    // The code page of \'hh escapes and 8-bit bytes until the document
    // names its own.
    quint16 CodePage = 1252;
    // Converts twips (1440 to the inch) into the document's pixels; 0 takes
    // the screen's resolution, the one the document layout uses for points.
    qreal DotsPerInch = 0;
};

// The logical resolution of the primary screen as text layouts see it (96
// without a screen).
[[nodiscard]] qreal ScreenDotsPerInch();

// Replaces the content of doc by the RTF text rtf.
//   ReadRtf("{\\rtf1 A\\tab B\\par}", doc) -> doc.toPlainText() == "A\tB"
void ReadRtf(const QByteArray& rtf, QTextDocument& doc, const TRtfReadOptions& options = {});

// The same for the rest of a stream (read from its present position).
void ReadRtf(QIODevice& stream, QTextDocument& doc, const TRtfReadOptions& options = {});

} // namespace qz
