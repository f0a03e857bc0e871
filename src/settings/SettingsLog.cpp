#include "settings/SettingsLog.h"

namespace qz {
Q_LOGGING_CATEGORY(lcSettings, "stakko.settings")
} // namespace qz
