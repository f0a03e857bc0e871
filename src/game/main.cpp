// Entry point of Stakko: install the windowed message box, load the
// settings before any window exists, show the main window, run the message
// loop, then release the settings so that pending changes are written.
//
// The game ends the same way however it is asked to: "&Ende", closing the
// window, SIGTERM (what a session manager or `kill` sends), SIGINT (Ctrl+C)
// or SIGHUP (the terminal went away) all close the main window, which
// stores an open record and its placement, and the settings are written
// before the process ends (SessionEnd.h). A signal during a start-up
// message box ends the program there.
#include "board/UiLanguage.h"
#include "game/GameInfo.h"
#include "game/RecordKeeping.h"
#include "game/SessionEnd.h"
#include "game/Stakko.h"
#include "settings/QZ_UsrSettings.h"
#include "settings/SettingsLocation.h"
#include "system/SystemFolders.h"
#include "text/EQZError.h"
#include "text/MsgBox.h"
#include "ui/comvcl.h"

#include <QApplication>
#include <QLoggingCategory>

#include <new>

namespace {

Q_LOGGING_CATEGORY(lcStart, "stakko.start")

// The settings file for messages; the error that stopped the start may be
// that there is no configuration folder to name one in.
QString SettingsFileForMessage() {
    try {
        return qz::GetAppDataPath(qz::UserSettingsName()) + QStringLiteral(".ini");
    } catch (const qz::EQZError&) {
        return qz::UserSettingsName() + QStringLiteral(".ini");
    }
}

// Tells the player why the game cannot start, and the log too, where a
// program started from a terminal shows it.
int StartFailed(const QString& message) {
    qCCritical(lcStart).noquote() << message;
    qz::MsgBox()->ErrInfo(message);
    return 1;
}

// Without its settings file the program cannot keep anything the player
// does; say why and stop. Every error is caught here, not only the
// library's own: an abort would leave the player with nothing at all.
bool LoadSettings(int& failure) {
    try {
        qz::GetUserSettings();
        return true;
    } catch (const qz::EQZError& e) {
        failure = StartFailed(e.message());
    } catch (const std::bad_alloc&) {
        failure = StartFailed(QCoreApplication::translate(
                                  "stakko::main", "Für die Einstellungsdatei \"%1\" reicht der "
                                                  "Arbeitsspeicher nicht.")
                                  .arg(SettingsFileForMessage()));
    } catch (const std::exception& e) {
        failure = StartFailed(QCoreApplication::translate(
                                  "stakko::main", "Die Einstellungsdatei \"%1\" kann nicht geladen "
                                                  "werden (%2).")
                                  .arg(SettingsFileForMessage(), QString::fromLocal8Bit(e.what())));
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The language before any text: the start-up's messages speak it too.
    stakko::InstallPreferredUiLanguage();
    // Caught from the start: a signal during a message box of the start-up
    // ends the box, and then the program.
    stakko::TSessionEnd sessionEnd;
    // While only the window-less message box exists: a system the program
    // cannot work on stops it here, with the reason in a window.
    if (const auto error = qz::StartUpThenInstall(qz::StartUpSystemInformation,
                                                  std::make_unique<qz::TMsgBoxWin>()))
        return StartFailed(*error);

    int failure = 0;
    if (!LoadSettings(failure))
        return failure;
    stakko::PrepareSettingsSaving(qz::UserSettings());
    if (sessionEnd.Requested()) {
        qz::FreeUserSettings();
        return 0;
    }
    // The title only, no display name: the platform would append that to
    // every caption ("Name des Gewinners — Stakko").
    QApplication::setApplicationName(stakko::ApplicationTitle());
    QApplication::setDesktopFileName(stakko::DesktopFileName());

    int result = 0;
    {
        stakko::T_Stakko window;
        sessionEnd.Attach(window);
        // Decoding the icon's eight sizes would hold up the first frame;
        // the desktop shows the icon a moment later.
        QObject::connect(&window, &stakko::T_Stakko::FirstFrameShown, &window,
                         [] { QApplication::setWindowIcon(stakko::ApplicationIcon()); });
        // A signal while the window was made (a message box it showed).
        if (!sessionEnd.Requested()) {
            window.show();
            result = app.exec();
        }
    }
    qz::FreeUserSettings();
    return result;
}
