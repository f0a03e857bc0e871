#pragma once
// How the game ends when it is asked from outside. A termination signal
// (SIGTERM from a logout, a shutdown or `kill`; SIGINT from Ctrl+C; SIGHUP
// when the terminal goes away) ends the game the way "&Ende" does. Before
// the main window exists, the same signal ends whatever message box the
// start-up shows, and main stops there. The session manager's save
// (commitDataRequest) stores everything without ending: the session may
// still cancel the logout.
//
// A record whose dialog is open is stored on either road with the name
// typed so far: the player's record must not depend on pressing OK before
// the session ends.
//
//   stakko::TSessionEnd sessionEnd;   // right after the QApplication
//   ... start-up; if (sessionEnd.Requested()) return 0;
//   stakko::T_Stakko window;
//   sessionEnd.Attach(window);

#include <QObject>
#include <QPointer>

#include <memory>

namespace qz::platform {
class TTerminationSignals;
}

namespace stakko {

class T_Stakko;

class TSessionEnd : public QObject {
    Q_OBJECT
public:
    // Catches the termination signals until destroyed.
    explicit TSessionEnd(QObject* parent = nullptr);
    ~TSessionEnd() override;

    // From now on a signal ends `window`, and the session manager's save
    // stores what it holds.
    void Attach(T_Stakko& window);
    // A signal arrived: the program is to end.
    [[nodiscard]] bool Requested() const { return FRequested; }

private:
    void End(int signalNumber);

    std::unique_ptr<qz::platform::TTerminationSignals> FSignals;
    QPointer<T_Stakko> FWindow;
    bool FRequested = false;
};

// What the session manager's save stores: an open record with the name
// typed so far, the window's placement, and every pending change.
void SaveEverything(T_Stakko& window);

} // namespace stakko
