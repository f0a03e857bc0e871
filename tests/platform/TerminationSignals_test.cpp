// The signals that ask the program to end arrive through the event loop.
#include "platform/TerminationSignals.h"

#include "common/TestHelpers.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <csignal>

using qz::platform::TTerminationSignals;

namespace {

// Runs the event loop until `done` holds, for at most two seconds.
template <class Done>
bool ProcessEventsUntil(Done done) {
    QElapsedTimer watch;
    watch.start();
    while (!done() && watch.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}

struct sigaction Disposition(int number) {
    struct sigaction current {};
    sigaction(number, nullptr, &current);
    return current;
}

TEST(TerminationSignals, EachSignalArrivesOnceAsAQtSignalAndThenHasItsDefaultBack) {
    QList<int> received;
    for (const int number : {SIGTERM, SIGINT, SIGHUP})
        signal(number, SIG_DFL); // a test run under nohup starts with SIGHUP ignored
    {
        TTerminationSignals termination;
        ASSERT_TRUE(termination.Active());
        QObject::connect(&termination, &TTerminationSignals::Received,
                         [&](int number) { received.append(number); });
        for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
            ASSERT_EQ(raise(number), 0); // would end the test program if not caught
            // Caught once: the next one of its kind ends a program that hangs.
            EXPECT_EQ(Disposition(number).sa_handler, SIG_DFL);
        }
        EXPECT_TRUE(ProcessEventsUntil([&] { return received.size() == 3; }))
            << received.size() << " of 3 signals arrived";
    }
    EXPECT_EQ(received, QList<int>({SIGTERM, SIGINT, SIGHUP}));
}

extern "C" void IgnoreUsr1(int) {}

TEST(TerminationSignals, IgnoredSignalsStayIgnoredAndOthersGetTheirHandlerBack) {
    ASSERT_NE(signal(SIGUSR1, IgnoreUsr1), SIG_ERR);
    ASSERT_NE(signal(SIGUSR2, SIG_IGN), SIG_ERR);
    {
        TTerminationSignals termination({SIGUSR1, SIGUSR2});
        EXPECT_NE(Disposition(SIGUSR1).sa_handler, IgnoreUsr1);
        EXPECT_EQ(Disposition(SIGUSR2).sa_handler, SIG_IGN); // as nohup wants it
    }
    EXPECT_EQ(Disposition(SIGUSR1).sa_handler, IgnoreUsr1);
    EXPECT_EQ(Disposition(SIGUSR2).sa_handler, SIG_IGN);
    signal(SIGUSR1, SIG_DFL);
    signal(SIGUSR2, SIG_DFL);
}

} // namespace
