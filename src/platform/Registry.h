#pragma once
// The read-only registry look-up of the settings code. Linux keeps no
// registry, so every value is missing and the caller's default comes back;
// the look-up stays so that code written against it reads the same here.
//
//   ReadRegistryString(HKEY_CURRENT_USER, "Environment", "TMP", "") == ""

#include <QString>
#include <QtGlobal>

namespace qz::platform {

// Registry roots of the read-only look-up.
enum TRegistryRoot : quint32 {
    HKEY_CLASSES_ROOT = 0x80000000,
    HKEY_CURRENT_USER = 0x80000001,
    HKEY_LOCAL_MACHINE = 0x80000002,
};

// A text value of the registry, or `def` when it is missing (always here).
[[nodiscard]] QString ReadRegistryString(TRegistryRoot root, const QString& key,
                                         const QString& name, const QString& def);

} // namespace qz::platform
