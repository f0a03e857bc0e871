#pragma once
// The log of the settings layer. What the user is not told (a save that
// failed, a file read line by line) is written here with its cause:
//   QT_LOGGING_RULES="qz.settings.debug=true" stakko

#include <QLoggingCategory>

namespace qz {
Q_DECLARE_LOGGING_CATEGORY(lcSettings)
} // namespace qz
