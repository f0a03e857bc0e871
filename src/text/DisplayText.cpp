#include "text/DisplayText.h"

#include <QStringView>

namespace qz {

namespace {

constexpr char32_t FirstStrongIsolate = 0x2068;
constexpr char32_t PopDirectionalIsolate = 0x2069;
constexpr char32_t ReplacementCharacter = 0xFFFD;
// The Control Pictures block shows C0 at U+2400 + code, DEL at U+2421.
constexpr char32_t ControlPictures = 0x2400;
constexpr char32_t DeletePicture = 0x2421;

enum class TShown { Itself, Picture, Dropped, Replaced };

TShown HowShown(char32_t c) {
    if (c < 0x20 || c == 0x7F)
        return TShown::Picture;
    // Joiners build letters and emoji in place; they move nothing.
    if (c == 0x200C || c == 0x200D)
        return TShown::Itself;
    switch (QChar::category(c)) {
    case QChar::Other_Control:       // C1
    case QChar::Other_Format:        // marks, embeddings, overrides, isolates
    case QChar::Other_NotAssigned:   // and noncharacters
    case QChar::Separator_Line:      // U+2028
    case QChar::Separator_Paragraph: // U+2029
        return TShown::Dropped;
    case QChar::Other_Surrogate: // a lone half of a pair
        return TShown::Replaced;
    default:
        return TShown::Itself;
    }
}

bool IsRightToLeft(char32_t c) {
    switch (QChar::direction(c)) {
    case QChar::DirR:
    case QChar::DirAL:
    case QChar::DirAN:
        return true;
    default:
        return false;
    }
}

void Append(QString& out, char32_t c) {
    if (QChar::requiresSurrogates(c)) {
        out.append(QChar(QChar::highSurrogate(c)));
        out.append(QChar(QChar::lowSurrogate(c)));
    } else {
        out.append(QChar(char16_t(c)));
    }
}

} // namespace

QString DisplayFragment(const QString& text) {
    QString shown;
    shown.reserve(text.size() + 2);
    bool rightToLeft = false;
    const QStringView view(text);
    for (qsizetype i = 0; i < view.size(); ++i) {
        char32_t c = view[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < view.size() && view[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(view[i], view[i + 1]);
            ++i;
        }
        switch (HowShown(c)) {
        case TShown::Itself:
            rightToLeft = rightToLeft || IsRightToLeft(c);
            Append(shown, c);
            break;
        case TShown::Picture:
            Append(shown, c == 0x7F ? DeletePicture : ControlPictures + c);
            break;
        case TShown::Replaced:
            Append(shown, ReplacementCharacter);
            break;
        case TShown::Dropped:
            break;
        }
    }
    // A left-to-right text changes nothing around it and needs no marks;
    // the program's own texts read as they always did.
    if (!rightToLeft)
        return shown;
    QString isolated;
    isolated.reserve(shown.size() + 2);
    Append(isolated, FirstStrongIsolate);
    isolated += shown;
    Append(isolated, PopDirectionalIsolate);
    return isolated;
}

} // namespace qz
