// Entry point of Stakko: install the windowed message box, load the
// settings before any window exists, show the main window, run the message
// loop, then release the settings so that pending changes are written.
#include "game/GameInfo.h"
#include "game/Stakko.h"
#include "settings/QZ_UsrSettings.h"
#include "settings/SettingsLocation.h"
#include "text/EQZError.h"
#include "text/MsgBox.h"
#include "ui/SystemFolders.h"
#include "ui/comvcl.h"

#include <QApplication>

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
    try {
        qz::GetUserSettings();
    } catch (const qz::EQZError& e) {
        // Without its settings file the program cannot keep anything the
        // player does; say why and stop.
        qz::MsgBox()->ErrInfo(e.message());
        return 1;
    }
    // The title only, no display name: the platform would append that to
    // every caption ("Name des Gewinners — Stakko").
    QApplication::setApplicationName(stakko::ApplicationTitle());
    QApplication::setDesktopFileName(stakko::DesktopFileName());

    int result = 0;
    {
        stakko::T_Stakko window;
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
