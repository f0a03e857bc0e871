#include "game/SessionEnd.h"

#include "game/Stakko.h"
#include "platform/TerminationSignals.h"
#include "settings/QZ_UsrSettings.h"
#include "ui/FormState.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QSessionManager>

namespace stakko {

namespace {

Q_LOGGING_CATEGORY(lcSession, "stakko.session")

} // namespace

TSessionEnd::TSessionEnd(QObject* parent)
    : QObject(parent), FSignals(std::make_unique<qz::platform::TTerminationSignals>()) {
    connect(FSignals.get(), &qz::platform::TTerminationSignals::Received, this, &TSessionEnd::End);
}

TSessionEnd::~TSessionEnd() = default;

void TSessionEnd::Attach(T_Stakko& window) {
    FWindow = &window;
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::commitDataRequest, &window,
                [&window](QSessionManager&) { SaveEverything(window); });
}

void TSessionEnd::End(int signalNumber) {
    qCInfo(lcSession) << "ending on signal" << signalNumber;
    FRequested = true;
    // exit() ends every event loop that runs, a dialog's or a message
    // box's too, whose own loop would otherwise go on; called first, it
    // also keeps a message the closing may show (a save that failed) from
    // waiting for a player who is logging out: it is logged instead.
    QCoreApplication::exit(0);
    // As "&Ende" does: closing stores an open record and the placement.
    if (FWindow)
        FWindow->EndBtnClick();
}

void SaveEverything(T_Stakko& window) {
    window.StoreOpenRecord();
    qz::SaveFormStateByClass(&window, qz::wpSizeAndState | qz::wpPosition);
    // Every pending change, on the disk before the session goes on.
    if (qz::TUserSettings* settings = qz::UserSettings())
        (void)settings->Flush();
}

} // namespace stakko
