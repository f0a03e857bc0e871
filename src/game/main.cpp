// Entry point of Stakko: install the settings, show the main window, run
// the message loop, then release the settings so they are written.
#include "game/GameInfo.h"
#include "game/MemoryUserSettings.h"
#include "game/Stakko.h"
#include "settings/QZ_UsrSettings.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(stakko::ApplicationTitle());
    QApplication::setApplicationDisplayName(stakko::ApplicationTitle());

    qz::SetUserSettings(std::make_unique<stakko::TMemoryUserSettings>());
    int result = 0;
    {
        stakko::T_Stakko window;
        window.show();
        result = app.exec();
    }
    qz::FreeUserSettings();
    return result;
}
