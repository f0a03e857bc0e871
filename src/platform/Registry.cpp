#include "platform/Registry.h"

namespace qz::platform {

QString ReadRegistryString(TRegistryRoot, const QString&, const QString&, const QString& def) {
    return def;
}

} // namespace qz::platform
