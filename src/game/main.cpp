// Entry point of Stakko: install the windowed message box, load the
// settings before any window exists, show the main window, run the message
// loop, then release the settings so that pending changes are written.
//
// The game ends the same way however it is asked to: "&Ende", closing the
// window, SIGTERM (what a session manager or `kill` sends), SIGINT (Ctrl+C)
// or SIGHUP (the terminal went away) all close the main window, which
// stores its placement, and the settings are written before the process
// ends. A desktop session that logs out asks first (commitDataRequest);
// then everything is written at once.
#include "game/GameInfo.h"
#include "game/RecordKeeping.h"
#include "game/Stakko.h"
#include "platform/TerminationSignals.h"
#include "settings/FormState.h"
#include "settings/QZ_UsrSettings.h"
#include "settings/SettingsLocation.h"
#include "text/EQZError.h"
#include "text/MsgBox.h"
#include "ui/SystemFolders.h"
#include "ui/comvcl.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QSessionManager>

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
        failure = StartFailed(QStringLiteral("Für die Einstellungsdatei \"%1\" reicht der "
                                             "Arbeitsspeicher nicht.")
                                  .arg(SettingsFileForMessage()));
    } catch (const std::exception& e) {
        failure = StartFailed(QStringLiteral("Die Einstellungsdatei \"%1\" kann nicht geladen "
                                             "werden (%2).")
                                  .arg(SettingsFileForMessage(), QString::fromLocal8Bit(e.what())));
    }
    return false;
}

// What the window's closing stores, and the file itself, without ending:
// the session may still cancel the logout, and Qt asks programs not to
// quit from inside commitDataRequest.
void SaveEverything(const stakko::T_Stakko& window) {
    qz::SaveFormStateByClass(&window, qz::wpSizeAndState | qz::wpPosition);
    // Every pending change, on the disk before the session goes on.
    if (qz::TUserSettings* settings = qz::UserSettings())
        (void)settings->Flush();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    try {
        // While only the window-less message box exists: a system the
        // program cannot work on stops it here, with the reason.
        qz::StartUpSystemInformation();
    } catch (const qz::EQZError& e) {
        qCritical("%s", qPrintable(e.message()));
        return 1;
    }
    qz::SetMsgBox(std::make_unique<qz::TMsgBoxWin>());
    // Caught from the start: a signal during loading waits for the loop.
    qz::platform::TTerminationSignals termination;

    int failure = 0;
    if (!LoadSettings(failure))
        return failure;
    stakko::PrepareSettingsSaving(qz::UserSettings());
    // The title only, no display name: the platform would append that to
    // every caption ("Name des Gewinners — Stakko").
    QApplication::setApplicationName(stakko::ApplicationTitle());
    QApplication::setDesktopFileName(stakko::DesktopFileName());

    int result = 0;
    {
        stakko::T_Stakko window;
        QObject::connect(&termination, &qz::platform::TTerminationSignals::Received, &window,
                         [&window](int signalNumber) {
                             qCInfo(lcStart) << "ending on signal" << signalNumber;
                             // As "&Ende" does; exit() then also ends a dialog
                             // that is open, whose own loop would go on.
                             window.EndBtnClick();
                             QCoreApplication::exit(0);
                         });
        QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                         [&window](QSessionManager&) { SaveEverything(window); });
        // Decoding the icon's eight sizes would hold up the first frame;
        // the desktop shows the icon a moment later.
        QObject::connect(&window, &stakko::T_Stakko::FirstFrameShown, &window,
                         [] { QApplication::setWindowIcon(stakko::ApplicationIcon()); });
        window.show();
        result = app.exec();
    }
    qz::FreeUserSettings();
    return result;
}
