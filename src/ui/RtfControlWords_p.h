#pragma once
// The control words the RTF reader knows, by name, with what they are to
// it. Private to ui/RtfReader.cpp.

#include <QChar>
#include <QFont>
#include <QtGlobal>

#include <array>
#include <string_view>

namespace qz::rtf {

enum class TWord : quint8 {
    Ansi,
    AnsiCpg,
    Pc,
    Pca,
    Deff,
    DefTab,
    Par,
    Pard,
    Plain,
    Fs,
    Cf,
    F,
    Sa,
    Li,
    Fi,
    Tx,
    Symbol,
    U,
    Uc,
    Bin,
    FontTable,
    ColourTable,
    SkipDest,
    Red,
    Green,
    Blue,
    Family,
};

struct TWordEntry {
    std::string_view Name;
    TWord Kind;
    char16_t Value; // the character of a symbol, the style hint of a family
};

inline constexpr std::array Words = {
    TWordEntry{"ansi", TWord::Ansi, 0},
    TWordEntry{"ansicpg", TWord::AnsiCpg, 0},
    TWordEntry{"pc", TWord::Pc, 0},
    TWordEntry{"pca", TWord::Pca, 0},
    TWordEntry{"deff", TWord::Deff, 0},
    TWordEntry{"deftab", TWord::DefTab, 0},
    TWordEntry{"par", TWord::Par, 0},
    TWordEntry{"pard", TWord::Pard, 0},
    TWordEntry{"plain", TWord::Plain, 0},
    TWordEntry{"fs", TWord::Fs, 0},
    TWordEntry{"cf", TWord::Cf, 0},
    TWordEntry{"f", TWord::F, 0},
    TWordEntry{"sa", TWord::Sa, 0},
    TWordEntry{"li", TWord::Li, 0},
    TWordEntry{"fi", TWord::Fi, 0},
    TWordEntry{"tx", TWord::Tx, 0},
    TWordEntry{"tab", TWord::Symbol, u'\t'},
    TWordEntry{"line", TWord::Symbol, QChar::LineSeparator},
    TWordEntry{"emdash", TWord::Symbol, u'\u2014'},
    TWordEntry{"endash", TWord::Symbol, u'\u2013'},
    TWordEntry{"bullet", TWord::Symbol, u'\u2022'},
    TWordEntry{"lquote", TWord::Symbol, u'\u2018'},
    TWordEntry{"rquote", TWord::Symbol, u'\u2019'},
    TWordEntry{"ldblquote", TWord::Symbol, u'\u201C'},
    TWordEntry{"rdblquote", TWord::Symbol, u'\u201D'},
    TWordEntry{"u", TWord::U, 0},
    TWordEntry{"uc", TWord::Uc, 0},
    TWordEntry{"bin", TWord::Bin, 0},
    TWordEntry{"fonttbl", TWord::FontTable, 0},
    TWordEntry{"colortbl", TWord::ColourTable, 0},
    TWordEntry{"stylesheet", TWord::SkipDest, 0},
    TWordEntry{"info", TWord::SkipDest, 0},
    TWordEntry{"pict", TWord::SkipDest, 0},
    TWordEntry{"object", TWord::SkipDest, 0},
    TWordEntry{"fldinst", TWord::SkipDest, 0},
    TWordEntry{"header", TWord::SkipDest, 0},
    TWordEntry{"footer", TWord::SkipDest, 0},
    TWordEntry{"footnote", TWord::SkipDest, 0},
    TWordEntry{"filetbl", TWord::SkipDest, 0},
    TWordEntry{"revtbl", TWord::SkipDest, 0},
    TWordEntry{"red", TWord::Red, 0},
    TWordEntry{"green", TWord::Green, 0},
    TWordEntry{"blue", TWord::Blue, 0},
    TWordEntry{"fnil", TWord::Family, QFont::AnyStyle},
    TWordEntry{"froman", TWord::Family, QFont::Serif},
    TWordEntry{"fswiss", TWord::Family, QFont::SansSerif},
    TWordEntry{"fmodern", TWord::Family, QFont::TypeWriter},
    TWordEntry{"fscript", TWord::Family, QFont::Cursive},
    TWordEntry{"fdecor", TWord::Family, QFont::Decorative},
    TWordEntry{"ftech", TWord::Family, QFont::AnyStyle},
};

// The entry of a control word; null for one the reader does not know.
inline const TWordEntry* FindWord(std::string_view name) {
    for (const TWordEntry& w : Words)
        if (w.Name == name)
            return &w;
    return nullptr;
}

} // namespace qz::rtf
