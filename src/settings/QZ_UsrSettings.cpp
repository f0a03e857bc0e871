#include "settings/QZ_UsrSettings.h"

namespace qz {

namespace {

std::unique_ptr<TUserSettings>& Slot() {
    static std::unique_ptr<TUserSettings> instance;
    return instance;
}

} // namespace

TUserSettings* UserSettings() {
    return Slot().get();
}

void SetUserSettings(std::unique_ptr<TUserSettings> settings) {
    Slot() = std::move(settings);
}

void FreeUserSettings() {
    Slot().reset();
}

} // namespace qz
