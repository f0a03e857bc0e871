#pragma once
// The language of the program's texts. German is the source text and the
// default; English is offered to a user whose interface languages
// (QLocale::system().uiLanguages(): LANGUAGE, LC_MESSAGES, LANG) put it
// before German. The choice is made once at start-up, before any window.
//
//   InstallPreferredUiLanguage(); // in main(), right after the QApplication

#include <QStringList>

namespace stakko {

enum class TUiLanguage { German, English };

// The first entry that names English ("en", "en-GB", "en_US.UTF-8") gives
// English; the first that names German, or the untranslated C or POSIX
// locale, gives German; others are skipped. No entry decides: German.
//   PreferredLanguage({"fr-FR", "en-GB", "de"}) == TUiLanguage::English
[[nodiscard]] TUiLanguage PreferredLanguage(const QStringList& uiLanguages);

// Installs the translations of the game and of the common library for
// `language` into the application (German needs none) and remembers the
// choice for UiLanguage(). Needs the QCoreApplication.
void InstallUiLanguage(TUiLanguage language);

// Installs the language the user's interface languages prefer and says
// which one that is.
TUiLanguage InstallPreferredUiLanguage();

// The language installed last; German until one is installed.
[[nodiscard]] TUiLanguage UiLanguage();

} // namespace stakko
