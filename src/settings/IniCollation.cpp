#include "settings/IniCollation_p.h"

#include "settings/IniDocument.h"

#include <memory>
#include <mutex>
#include <vector>

namespace qz {

namespace {

// The locale source and every collation built so far.
struct TCollationRegistry {
    std::mutex FMutex;
    TIniLocaleSource FSource;
    std::vector<std::unique_ptr<TIniCollation>> FCollations;
};

// Never destroyed: a document that outlives static destruction (the settings
// object writes itself back at shutdown) still compares with its collation.
TCollationRegistry& Registry() {
    static auto* registry = new TCollationRegistry;
    return *registry;
}

} // namespace

void SetIniCollationLocale(TIniLocaleSource source) {
    TCollationRegistry& registry = Registry();
    const std::lock_guard lock(registry.FMutex);
    registry.FSource = std::move(source);
}

const TIniCollation& TIniCollation::Current() {
    TCollationRegistry& registry = Registry();
    const std::lock_guard lock(registry.FMutex);
    const QLocale locale = registry.FSource ? registry.FSource() : QLocale::system();
    for (const auto& collation : registry.FCollations)
        if (collation->Locale() == locale)
            return *collation;
    registry.FCollations.push_back(std::make_unique<TIniCollation>(locale));
    return *registry.FCollations.back();
}

TIniCollation::TIniCollation(const QLocale& locale)
    : FLocale(locale), FPlain(locale.language() == QLocale::C) {}

namespace {

// Every printable ASCII character must weigh something, case pairs must be
// equal and all other pairs different.
bool ProbeAsciiFolding(const QCollator& insensitive) {
    for (char16_t c = 0x20; c <= 0x7E; ++c) {
        const QChar qc(c);
        if (insensitive.compare(QStringView(&qc, 1), QStringView()) == 0)
            return false;
        for (char16_t d = c + 1; d <= 0x7E; ++d) {
            const QChar qd(d);
            const bool sameLetter = QChar::toLower(c) == QChar::toLower(d);
            if ((insensitive.compare(QStringView(&qc, 1), QStringView(&qd, 1)) == 0) != sameLetter)
                return false;
        }
    }
    return true;
}

} // namespace

TIniCollation::TIcu::TIcu(const QLocale& locale) : Insensitive(locale), Sensitive(locale) {
    Insensitive.setCaseSensitivity(Qt::CaseInsensitive);
    Sensitive.setCaseSensitivity(Qt::CaseSensitive);
    AsciiFolds = ProbeAsciiFolding(Insensitive);
}

} // namespace qz
