#include "game/SessionEnd.h"

#include "game/Stakko.h"
#include "platform/TerminationSignals.h"
#include "settings/FormState.h"
#include "settings/QZ_UsrSettings.h"

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
    // As "&Ende" does: closing stores an open record and the placement.
    if (FWindow)
        FWindow->EndBtnClick();
    // exit() ends every event loop that runs, a dialog's or a message
    // box's too, whose own loop would otherwise go on.
    QCoreApplication::exit(0);
}

void SaveEverything(T_Stakko& window) {
    window.StoreOpenRecord();
    qz::SaveFormStateByClass(&window, qz::wpSizeAndState | qz::wpPosition);
    if (qz::TUserSettings* settings = qz::UserSettings())
        settings->Save();
}

} // namespace stakko
