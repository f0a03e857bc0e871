#pragma once
// The in-window help: the rules and keys of the game as one RTF document,
// built from a fixed header (colour and font tables, in Windows-1252), the
// body below in UTF-16 (converted to the ANSI code page when the document
// is built) and the closing "\par}", and loaded into the main window's
// read-only rich-text view RichEdit1.
//
//   LoadHelpText(*FUi->RichEdit1); // once, while the main window is created

#include <QByteArray>
#include <QString>

class QTextEdit;

namespace stakko {

// Inner margin of the help view, left and right, in pixels.
inline constexpr int HelpMargin = 8;

// The body of the help: its paragraphs with their RTF control words, one
// line each, the umlauts as characters.
[[nodiscard]] const QString& HelpBody();

// The whole document: header, body in the ANSI code page, closing.
[[nodiscard]] QByteArray HelpDocument();

// Fills richEdit with the help, sets its inner margins and lays it over the
// whole client area of its window.
void LoadHelpText(QTextEdit& richEdit);

} // namespace stakko
