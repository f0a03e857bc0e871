#include "board/UiLanguage.h"

#include <QCoreApplication>
#include <QLocale>
#include <QLoggingCategory>
#include <QTranslator>

namespace stakko {

namespace {

Q_LOGGING_CATEGORY(lcLanguage, "stakko.language")

TUiLanguage& Chosen() {
    static TUiLanguage language = TUiLanguage::German;
    return language;
}

// "en-Latn-GB", "en_GB.UTF-8@euro" and "EN" all name the language "en".
QString LanguagePart(const QString& entry) {
    qsizetype end = 0;
    while (end < entry.size() && !QStringView(u"-_.@").contains(entry[end]))
        ++end;
    return entry.first(end).toLower();
}

void Install(const QString& path) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(path) && QCoreApplication::installTranslator(translator))
        return;
    // A build without its translation still works, in German.
    qCWarning(lcLanguage) << "translation" << path << "could not be installed";
    delete translator;
}

} // namespace

TUiLanguage PreferredLanguage(const QStringList& uiLanguages) {
    for (const QString& entry : uiLanguages) {
        const QString language = LanguagePart(entry);
        if (language == QLatin1String("en"))
            return TUiLanguage::English;
        if (language == QLatin1String("de") || language == QLatin1String("c") ||
            language == QLatin1String("posix"))
            return TUiLanguage::German;
    }
    return TUiLanguage::German;
}

void InstallUiLanguage(TUiLanguage language) {
    Chosen() = language;
    if (language != TUiLanguage::English)
        return;
    Install(QStringLiteral(":/i18n/qz_en.qm"));
    Install(QStringLiteral(":/i18n/stakko_en.qm"));
}

TUiLanguage InstallPreferredUiLanguage() {
    const TUiLanguage language = PreferredLanguage(QLocale::system().uiLanguages());
    InstallUiLanguage(language);
    return language;
}

TUiLanguage UiLanguage() {
    return Chosen();
}

} // namespace stakko
