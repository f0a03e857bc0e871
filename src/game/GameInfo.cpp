#include "game/GameInfo.h"

namespace stakko {

QString ApplicationTitle() {
    return QStringLiteral("Stakko");
}

} // namespace stakko
