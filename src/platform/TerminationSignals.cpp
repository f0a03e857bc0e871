#include "platform/TerminationSignals.h"

#include <QLoggingCategory>
#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace qz::platform {

namespace {

Q_LOGGING_CATEGORY(lcPlatform, "qz.platform")

// The writing end of the pipe, for the handler; -1 when none is installed.
// A lock-free atomic is safe to read inside a signal handler.
std::atomic<int> gWriteEnd{-1};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void OnTerminationSignal(int signalNumber) {
    const int savedErrno = errno; // the interrupted code may be about to read it
    const int fd = gWriteEnd.load(std::memory_order_relaxed);
    if (fd >= 0) {
        const unsigned char number = static_cast<unsigned char>(signalNumber);
        // A full pipe already holds enough wake-ups; nothing is lost.
        (void)!::write(fd, &number, 1);
    }
    errno = savedErrno;
}

} // namespace

TTerminationSignals::TTerminationSignals(std::initializer_list<int> signalNumbers, QObject* parent)
    : QObject(parent) {
    Q_ASSERT(gWriteEnd.load() < 0);
    if (::pipe2(FPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        qCWarning(lcPlatform) << "no pipe for termination signals:" << qt_error_string(errno);
        FPipe[0] = FPipe[1] = -1;
        return;
    }
    gWriteEnd.store(FPipe[1]);
    FNotifier = new QSocketNotifier(FPipe[0], QSocketNotifier::Read, this);
    connect(FNotifier, &QSocketNotifier::activated, this, &TTerminationSignals::Drain);

    for (const int number : signalNumbers) {
        struct sigaction action {};
        action.sa_handler = OnTerminationSignal;
        sigemptyset(&action.sa_mask);
        // SA_RESTART: system calls the signal interrupts go on by themselves.
        action.sa_flags = SA_RESTART | SA_RESETHAND;
        TSaved saved{number, {}};
        if (::sigaction(number, &action, &saved.Action) != 0) {
            qCWarning(lcPlatform) << "signal" << number << "not caught:" << qt_error_string(errno);
            continue;
        }
        // A signal ignored from the start (nohup, a shell's background job)
        // was meant to be ignored; it stays so.
        if (saved.Action.sa_handler == SIG_IGN) {
            ::sigaction(number, &saved.Action, nullptr);
            continue;
        }
        FSaved.push_back(saved);
    }
}

TTerminationSignals::~TTerminationSignals() {
    for (const TSaved& saved : FSaved)
        ::sigaction(saved.Number, &saved.Action, nullptr);
    gWriteEnd.store(-1);
    delete FNotifier;
    for (const int fd : FPipe)
        if (fd >= 0)
            ::close(fd);
}

void TTerminationSignals::Drain() {
    unsigned char numbers[64];
    for (;;) {
        const ssize_t got = ::read(FPipe[0], numbers, sizeof numbers);
        if (got <= 0)
            break; // EAGAIN: the pipe is empty
        for (ssize_t i = 0; i < got; ++i)
            emit Received(numbers[i]);
    }
}

} // namespace qz::platform
