#pragma once
// The in-window help: the rules and keys of the game as one RTF document,
// built from a fixed header (colour and font tables, in Windows-1252), the
// body below in UTF-16 (converted to the ANSI code page when the document
// is built) and the closing "\par}", and loaded into the main window's
// read-only rich-text view RichEdit1. There is a body for each language of
// the program, with the same paragraphs and the same formatting; the view
// gets the one of the language chosen at start-up (UiLanguage.h).
//
//   LoadHelpText(*FUi->RichEdit1); // once, while the main window is created

#include "board/UiLanguage.h"

#include <QByteArray>
#include <QString>

class QTextEdit;

namespace stakko {

// Inner margin of the help view, left and right, in pixels.
inline constexpr int HelpMargin = 8;

// The body of the help in `language`: its paragraphs with their RTF control
// words, one line each, the umlauts as characters.
[[nodiscard]] const QString& HelpBody(TUiLanguage language);

// The whole document: header, body in the ANSI code page, closing.
[[nodiscard]] QByteArray HelpDocument(TUiLanguage language);

// Fills richEdit with the help in the program's language, sets its inner
// margins and lays it over the whole client area of its window.
void LoadHelpText(QTextEdit& richEdit);

} // namespace stakko
