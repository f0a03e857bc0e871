// Main of the test programs that need no widgets (the game's rules): a
// QCoreApplication only, so that nothing there can reach for a window.
#include <QCoreApplication>
#include <gmock/gmock.h>

extern "C" {
const char* __lsan_default_suppressions() {
    return
#include "lsan_suppressions.inc"
        ;
}
}

int main(int argc, char** argv) {
    ::testing::InitGoogleMock(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
