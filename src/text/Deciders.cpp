// The standard deciders, and unmarked text told apart by its content.
#include "text/QZ_Files.h"
#include "text/QZ_Unicd.h"
#include "text/TEncoding.h"

namespace qz {

quint32 TDefaultDecider::AnsiDecider(QIODevice& /*fs*/, TEncodingType aEncoding) const {
    switch (aEncoding) {
    case et_UTF8C:
        return DecideUtf8CPlain;
    case et_UTF8C_zip:
        return DecideUtf8CInflate;
    default:
        return 0;
    }
}

quint32 TDefaultDecider::AnsiDeciderEx(QIODevice& fs, TEncodingType aEncoding) const {
    if (aEncoding == et_none && DetectUtf8OrAnsi(fs).Kind == et_UTF8noBom)
        return DecideUtf8;
    return AnsiDecider(fs, aEncoding);
}

TDefaultDecider& DefaultDecider() {
    static TDefaultDecider shared;
    return shared;
}

TEncodingDecider AnsiDeciderOf(const TDefaultDecider& decider) {
    return [&decider](QIODevice& fs, TEncodingType kind) { return decider.AnsiDecider(fs, kind); };
}

TEncodingDecider AnsiDeciderExOf(const TDefaultDecider& decider) {
    return
        [&decider](QIODevice& fs, TEncodingType kind) { return decider.AnsiDeciderEx(fs, kind); };
}

TUtf8OrAnsi DetectUtf8OrAnsi(QIODevice& stream) {
    if (IsUtf8Content(stream))
        return {et_UTF8noBom, GetUTF8NoBomEncoding()};
    return {et_ANSI, TEncoding::Default()};
}

} // namespace qz
