#include "board/GameSounds.h"

namespace stakko {

const std::array<QString, 8> SoundNames = {QStringLiteral("space"),    QStringLiteral("ding"),
                                           QStringLiteral("xylophon"), QStringLiteral("nice"),
                                           QStringLiteral("klingel1"), QStringLiteral("loser"),
                                           QStringLiteral("gefahr"),   QStringLiteral("gewonn1")};

} // namespace stakko
