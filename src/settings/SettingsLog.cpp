#include "settings/SettingsLog.h"

namespace qz {
Q_LOGGING_CATEGORY(lcSettings, "qz.settings")
} // namespace qz
