#include "ui/TimerHold.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

namespace qz {

TTimerHold::TTimerHold(const QObject* keep) : FKeep(keep) {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

TTimerHold::~TTimerHold() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

// The program's timers are QTimer objects; Qt's inner workings run on
// basic timers of their own objects, which must go on.
bool TTimerHold::eventFilter(QObject* watched, QEvent* event) {
    return event->type() == QEvent::Timer && watched != FKeep &&
           qobject_cast<QTimer*>(watched) != nullptr;
}

} // namespace qz
