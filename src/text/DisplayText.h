#pragma once
// Text from a file, a user or the system, shown as a piece of a line among
// the program's own words. Whatever it holds, it cannot change the
// direction or the layout of the text around it: the controls C0 and DEL
// are shown as their pictures, characters that only steer the layout
// (direction marks and overrides, invisible formatting, separators of
// lines and paragraphs, unassigned code points) are left out, and a text
// with right-to-left letters is isolated between U+2068 FIRST STRONG
// ISOLATE and U+2069 POP DIRECTIONAL ISOLATE. Only what is shown changes;
// the text itself stays as it was typed or stored.
//
//   QStringLiteral("Rekord: ") + DisplayFragment(name) + QStringLiteral(" (12 Pkt.)")
//   DisplayFragment("Bob\a") == "Bob\u2407"

#include <QString>

namespace qz {

[[nodiscard]] QString DisplayFragment(const QString& text);

} // namespace qz
