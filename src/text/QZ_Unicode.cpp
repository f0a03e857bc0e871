#include "text/QZ_Unicode.h"

#include "text/QZ_Unicd.h"
#include "text/TEncoding.h"

namespace qz {

namespace {

constexpr quint32 kRowCodePages[CodePageEncodingRowCount] = {
    1251, 1252, 1250, 1253, 1254, 1255, 1256, 1257, 850, 437, 932, 949, 936, 950, 1031, 1049};

// The code page a row's object is made for: the two language identifiers
// stand for the pages of their languages.
quint32 EncodingPageOfRow(quint32 rowCodePage) {
    switch (rowCodePage) {
    case 1031:
        return 1252;
    case 1049:
        return 1251;
    default:
        return rowCodePage;
    }
}

class CodePageTable {
public:
    CodePageTable() {
        for (int i = 0; i < CodePageEncodingRowCount; ++i)
            FRows[i].CodePage = kRowCodePages[i];
        Ensure(FRows[0]);
        Ensure(FRows[1]);
    }
    CodePageTable(const CodePageTable&) = delete;
    CodePageTable& operator=(const CodePageTable&) = delete;

    TCodePageEncoding* Lookup(quint32 codePage) {
        for (auto& row : FRows) {
            if (row.CodePage == codePage)
                return Ensure(row);
        }
        return Ensure(FRows[1]);
    }

    void Free() {
        for (auto& row : FRows) {
            std::unique_ptr<TCodePageEncoding> taken = std::move(row.Encoding);
            taken.reset();
        }
        TEncodingU::FreeEncodings();
    }

    [[nodiscard]] const TCodePageEncodings& Rows() const { return FRows; }

private:
    static TCodePageEncoding* Ensure(TCodePageEncodingRow& row) {
        if (!row.Encoding)
            row.Encoding = std::make_unique<TCodePageEncoding>(EncodingPageOfRow(row.CodePage));
        return row.Encoding.get();
    }

    TCodePageEncodings FRows;
};

// The table itself is never destroyed, so that a lookup during process
// exit still finds it; its rows are freed by the unit's end below.
CodePageTable& Table() {
    static CodePageTable* const table = new CodePageTable;
    return *table;
}

// The unit's start and end: the table (with rows 1 and 2) is made before
// main runs; at exit the rows are freed, then the shared own encodings.
// A lookup after that makes its row again, which the process leaves.
struct UnitEnd {
    UnitEnd() { (void)Table(); }
    ~UnitEnd() { Table().Free(); }
    UnitEnd(const UnitEnd&) = delete;
    UnitEnd& operator=(const UnitEnd&) = delete;
};
const UnitEnd unitEnd;

} // namespace

const TCodePageEncodings& CodePageEncodings() {
    return Table().Rows();
}

TCodePageEncoding* EncodingForCodePage(quint16 codePage) {
    return Table().Lookup(codePage);
}

void FreeCodePageEncodings() {
    Table().Free();
}

QByteArray NarrowToAnsi(const QString& text) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        uchar b;
        if (u <= 0xFF)
            b = static_cast<uchar>(u);
        else if (u == 0x02BC)
            b = 0xB7;
        else if (u == 0x2019)
            b = 0x92;
        else if (u == 0x2022)
            b = 0x95;
        else if (u == 0x2013)
            b = 0x96;
        else if (u == 0x2026)
            b = 0x85;
        else
            b = '?';
        out[i] = static_cast<char>(b);
    }
    return bytes;
}

QString DecodeWindows1252(const QByteArray& bytes) {
    return EncodingForCodePage(1252)->GetString(bytes);
}

QString WidenLatin1(const QByteArray& bytes) {
    return QString::fromLatin1(bytes);
}

} // namespace qz
