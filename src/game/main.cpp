// Entry point of Stakko. The window comes with the game's main form.
#include "game/GameInfo.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(stakko::ApplicationTitle());
    return 0;
}
