#pragma once
// Private to the INI document: the text of a saved file, handed to a sink
// piece by piece straight from the sections' buffers, so that neither the
// lines nor the whole text need to be built first. A sink has
//   void Text(QStringView piece);  // characters of the current line
//   void Ascii(char16_t c);        // one ASCII character of it
//   void LineEnd();                // the end of the line (CR LF in a file)
// The pieces of one line meet only at ASCII characters ("[", "=", " ").

#include "settings/IniDocument.h"

namespace qz {

// A plain line beginning with "[" would come back as a header and carry the
// keys after it into a section of its own, one beginning with "=" would
// lose that "=": both are written behind an "=", which reading takes off.
// A key beginning with "[" or ";" (read from a line indented by spaces)
// keeps its indentation by one space, which reading trims again. Entries
// without a value are not written.
template <typename Sink>
void VisitSavedLines(const TIniSection& section, Sink& sink) {
    section.ForEachEntry([&sink](QStringView key, QStringView value) {
        if (value.isEmpty())
            return;
        if (!key.isEmpty()) {
            if (key.front() == u'[' || key.front() == u';')
                sink.Ascii(u' ');
            sink.Text(key);
            sink.Ascii(u'=');
        } else if (value.front() == u'[' || value.front() == u'=') {
            sink.Ascii(u'=');
        }
        sink.Text(value);
        sink.LineEnd();
    });
}

// ";$C" first when names are case-sensitive, then every section with
// entries: its header (none for the unnamed one), its lines and an empty
// line.
template <typename Sink>
void VisitSavedText(const TIniStream& doc, Sink& sink) {
    if (doc.CaseSensitive()) {
        sink.Text(u";$C");
        sink.LineEnd();
    }
    const TIniSectionList& sections = doc.SectionList();
    for (int i = 0; i < sections.Count(); ++i) {
        const TIniSection& section = *sections.getSections(i);
        if (section.Count() == 0)
            continue;
        const QString& name = sections.Names(i);
        if (!name.isEmpty()) {
            sink.Ascii(u'[');
            sink.Text(name);
            sink.Ascii(u']');
            sink.LineEnd();
        }
        VisitSavedLines(section, sink);
        sink.LineEnd();
    }
}

// A sink that collects the lines as strings.
class TSavedLineList {
public:
    explicit TSavedLineList(QStringList& lines) : FLines(lines) {}
    void Text(QStringView piece) { FLine += piece; }
    void Ascii(char16_t c) { FLine += QChar(c); }
    void LineEnd() {
        FLines.append(FLine);
        FLine = QString();
    }

private:
    QStringList& FLines;
    QString FLine;
};

} // namespace qz
