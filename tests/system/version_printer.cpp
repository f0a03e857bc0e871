// A program that carries the version record and tells what it says of
// itself: it writes "ready", waits for a line on its input (meanwhile its
// test replaces or deletes the program file), then writes the values
// "FileVersion" and "VS_VERSION" of its running record, one a line.
#include "system/VersionInfo.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::puts("ready");
    std::fflush(stdout);
    char line[16];
    if (!std::fgets(line, sizeof line, stdin))
        return 1;
    std::printf("%s\n%s\n", qPrintable(qz::GetVersionInfoValue(QStringLiteral("FileVersion"))),
                qPrintable(qz::GetVersionInfoValue(QStringLiteral("VS_VERSION"))));
    return 0;
}
