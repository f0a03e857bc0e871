#pragma once
// The signals that ask a program to end (SIGTERM from a session manager or
// `kill`, SIGINT from Ctrl+C, SIGHUP when the terminal goes away) arrive as
// a Qt signal in the event loop, where the program can end the way its own
// "quit" does instead of dying with its work unsaved. The handler itself
// only writes the signal's number into a pipe (a self-pipe), the one thing
// it may safely do; a socket notifier on the other end emits Received.
//
// After the first delivery of a signal its default action is back, so a
// second Ctrl+C ends a program that no longer reacts. A signal that was
// ignored when the program started (nohup) stays ignored.
//
//   qz::platform::TTerminationSignals termination;
//   QObject::connect(&termination, &TTerminationSignals::Received, &window, &QWidget::close);

#include <QObject>

#include <csignal>
#include <initializer_list>
#include <vector>

class QSocketNotifier;

namespace qz::platform {

class TTerminationSignals : public QObject {
    Q_OBJECT
public:
    // Catches `signalNumbers` until destroyed. One object at a time.
    explicit TTerminationSignals(std::initializer_list<int> signalNumbers = {SIGTERM, SIGINT,
                                                                             SIGHUP},
                                 QObject* parent = nullptr);
    // Gives the signals their earlier handling back.
    ~TTerminationSignals() override;
    TTerminationSignals(const TTerminationSignals&) = delete;
    TTerminationSignals& operator=(const TTerminationSignals&) = delete;

    // False when the pipe could not be made; the signals then keep their
    // default action.
    [[nodiscard]] bool Active() const { return FNotifier != nullptr; }

signals:
    void Received(int signalNumber);

private:
    void Drain();

    int FPipe[2] = {-1, -1};
    QSocketNotifier* FNotifier = nullptr;
    struct TSaved {
        int Number;
        struct sigaction Action;
    };
    std::vector<TSaved> FSaved;
};

} // namespace qz::platform
