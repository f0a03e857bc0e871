// Loads arbitrary bytes as an INI document and works on the result. Any
// input must load, answer reads and save without a crash, and the saved
// lines must read back to the same sections with the same values, apart
// from what the format cannot hold: empty values, values wrapped in
// apostrophes, which lose them, and plain lines holding "=", which come back
// as keyed entries.
#include "settings/QZINI.h"
#include "text/TEncoding.h"

#include <QBuffer>
#include <QByteArray>
#include <QStringList>

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

bool KeptBySaving(const QString& value) {
    return !(value.size() >= 2 && value.front() == u'\'' && value.back() == u'\'');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    qz::TIniStream doc;
    doc.SetOnEncodingError([](qz::TIniStream*, qint32 line) { Check(line > 0, "line number"); });
    doc.LoadFromStream(in);

    QStringList saved;
    doc.SaveToList(saved);
    qz::TIniStream back;
    back.LoadFromList(saved);
    // A comment ";$C" (as ReadFromString keeps it) is written as it is and
    // so turns into the marker when read again, which regroups the sections
    // from there on: such documents are only checked for crashes.
    const bool markerInText =
        saved.indexOf(QStringLiteral(";$C"), doc.CaseSensitive() ? 1 : 0) >= 0;
    Check(back.CaseSensitive() == (doc.CaseSensitive() || markerInText), "case sensitivity");

    const QString missing = QStringLiteral("\x01missing");
    QStringList written;
    for (int i = 0; i < doc.Count(); ++i) {
        const qz::TIniSection* section = doc.Sections(i);
        const QString name = doc.SectionNames(i);
        // A header is written for every section with entries, but the
        // unnamed section has none, so it returns only with a value.
        if (section->Count() > 0 && (!name.isEmpty() || !section->isEmpty()))
            written << name;
        // Plain lines holding "=" come back as keyed entries, by design.
        bool plainWithEquals = false;
        for (int e = 0; e < section->Count(); ++e)
            plainWithEquals |= section->KeyAt(e).isEmpty() && section->ValueAt(e).contains(u'=');
        for (int e = 0; e < section->Count(); ++e) {
            const QString key = section->KeyAt(e).toString();
            if (key.isEmpty())
                continue;
            const QString value = doc.ReadString(name, key, missing);
            if (value != missing && KeptBySaving(value) && !plainWithEquals && !markerInText)
                Check(back.ReadString(name, key, missing) == value, "value read back");
            (void)doc.ReadInteger(name, key, 0);
            (void)doc.ReadInt64(name, key, 0);
            (void)doc.ReadDouble(name, key, 0.0);
            (void)doc.ReadFloat(name, key, 0.0);
            (void)doc.ReadPoint(name, key, value);
        }
    }
    QStringList names;
    back.ReadSectionNames(names);
    Check(markerInText || names == written, "section names read back");

    (void)doc.GetText(QStringLiteral("\r\n"));
    doc.WriteString(QString::fromUtf8(bytes.left(8)), QStringLiteral("k"), QStringLiteral("v"));
    doc.DelDupLines();
    doc.SortKeywords();
    QByteArray out;
    QBuffer sink(&out);
    sink.open(QIODevice::WriteOnly);
    doc.SaveToStream(sink, qz::TEncoding::UTF8());
    Check(out.startsWith("\xEF\xBB\xBF"), "byte-order mark");
    return 0;
}
