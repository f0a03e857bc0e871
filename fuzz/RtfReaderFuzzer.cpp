// Reads arbitrary bytes as RTF and lays the document out. Every failure
// must be one of the reader's two errors and leave the document empty; a
// text without the RTF opening must fail; a document read must hold no
// character that means structure to the text engine, and reading the same
// bytes again must give the same text.
#include "text/EQZError.h"
#include "ui/RtfReader.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

bool HoldsStructure(const QString& text) {
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\t') || u == QChar::ParagraphSeparator || u == 0xFDD0 ||
            u == 0xFDD1)
            return true;
    }
    return false;
}

// Reads bytes into doc; false when the reader refused them.
bool Read(const QByteArray& bytes, QTextDocument& doc) {
    try {
        qz::ReadRtf(bytes, doc, {1252, 96});
        return true;
    } catch (const qz::EQZError& e) {
        Check(e.message() == QStringLiteral("Kein RTF-Text: der Anfang \"{\\rtf\" fehlt") ||
                  e.message() ==
                      QStringLiteral("RTF-Text zu tief verschachtelt: mehr als 256 Gruppen"),
              "error message");
        Check(doc.isEmpty(), "empty document after an error");
        return false;
    }
}

} // namespace

// The font caches that the first layout fills live until the process ends
// and are never freed by the system's font stack; our own memory is not
// allocated inside these libraries.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n"
           "leak:libharfbuzz\n"
           "leak:libQt6Gui\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Laying text out needs the font database of a GUI application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("stale"));
    const bool read = Read(bytes, doc);
    if (!read) {
        Check(!bytes.startsWith("{\\rtf") || bytes.count('{') > qz::RtfMaxGroupDepth,
              "only deep nesting refuses an RTF text");
        return 0;
    }
    Check(bytes.startsWith("{\\rtf"), "read without the opening");
    for (QTextBlock b = doc.begin(); b != doc.end(); b = b.next())
        Check(!HoldsStructure(b.text()), "structure characters in a block");
    doc.setTextWidth(360);
    (void)doc.size();

    QTextDocument again;
    Read(bytes, again);
    Check(again.toPlainText() == doc.toPlainText(), "same text read twice");
    return 0;
}
