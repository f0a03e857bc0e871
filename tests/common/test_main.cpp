// Shared main of every test program: widget tests need a QApplication, and
// all of them run on the offscreen platform unless the caller chose another.
#include <QApplication>
#include <gmock/gmock.h>

extern "C" {
// The project's one suppression file (tests/sanitizers/lsan.supp), built in
// so that a test program started by hand is as quiet as one under CTest.
const char* __lsan_default_suppressions() {
    return
#include "lsan_suppressions.inc"
        ;
}
}

int main(int argc, char** argv) {
    ::testing::InitGoogleMock(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
