#pragma once
// What the operating system tells about itself and about the process: its
// name and version for display, the machine the kernel runs on, the
// process's word size, and the user's rights. The system-information
// rules of the ui layer are fed from here.
//
//   OperatingSystemName() == "Debian GNU/Linux 12 (bookworm)"

#include <QHash>
#include <QString>
#include <QStringList>

namespace qz::platform {

// The assignments of an os-release file: KEY=value lines, values bare or
// in double quotes (where a backslash takes the next character literally)
// or in single quotes; blank lines, comments and lines without a key are
// skipped.
//   ParseOsRelease("NAME=\"Debian GNU/Linux\"\n").value("NAME") == "Debian GNU/Linux"
[[nodiscard]] QHash<QString, QString> ParseOsRelease(const QByteArray& text);

// The system's name and version for display: PRETTY_NAME, else NAME and
// VERSION joined by a blank, else the kernel's name and release.
//   OperatingSystemNameFrom({{"NAME", "Arch Linux"}}, "Linux", "6.9.1") == "Arch Linux"
[[nodiscard]] QString OperatingSystemNameFrom(const QHash<QString, QString>& osRelease,
                                              const QString& kernelName,
                                              const QString& kernelRelease);

// The same for this system: /etc/os-release, or /usr/lib/os-release when
// there is none, and uname.
[[nodiscard]] QString OperatingSystemName();

// The machine the kernel reports ("x86_64"); empty when uname fails.
[[nodiscard]] QString KernelMachine();

// True for the machine names of 64-bit kernels, including "armv8l", the
// name a 64-bit ARM kernel gives its 32-bit processes.
[[nodiscard]] bool Is64BitMachine(const QString& machine);

// True when this process is a 32-bit program.
[[nodiscard]] constexpr bool Is32BitProcess() {
    return sizeof(void*) == 4;
}

// True when the process runs with the rights of root (effective user 0).
[[nodiscard]] bool RunsAsRoot();

// The names of the groups the process belongs to, its effective group
// first; a group without a name in the group database gives its number.
[[nodiscard]] QStringList ProcessGroupNames();

} // namespace qz::platform
