// Shared main of every test program: widget tests need a QApplication, and
// all of them run on the offscreen platform unless the caller chose another.
#include <QApplication>
#include <gmock/gmock.h>

extern "C" {
// Leaks inside the system's font and GL stacks are not ours to fix; keep
// LeakSanitizer quiet about them so that our own leaks stand out.
const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n"
           "leak:libdbus\n"
           "leak:libglib\n"
           "leak:libX11\n"
           "leak:libxcb\n"
           "leak:libEGL\n"
           "leak:libGLX\n";
}
}

int main(int argc, char** argv) {
    ::testing::InitGoogleMock(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
