#pragma once
// What the program knows about the system it runs on: a name for the
// running system version, whether a 32-bit process runs on a 64-bit
// system, whether the user holds administrator rights, and one line that
// describes it all for the About box. The version record of the program
// file is in system/VersionInfo.h, the folder values of the start-up in
// system/SystemFolders.h.
//
// The decisions are plain functions over what the system answers (the
// ...For functions), so that every rule can be tried with made-up answers;
// the functions without "For" feed them with what Linux has:
// - the version code: Linux is no Windows platform, so it is 1 ("?");
// - the system name: the distribution's name and version (os-release);
// - IsWow64: a 32-bit process on a 64-bit kernel;
// - the admin questions: the elevation state is always reported, and it
//   is whether the effective user is root. A member of "sudo" or "wheel"
//   runs the program with no more rights than anyone (sudo must be asked),
//   so the group check only tells the membership and never makes an
//   administrator of a desktop user.
//
//   SystemDescription(1) == "Debian GNU/Linux 12 (bookworm); GCC 12.2 R"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace qz {

// Display names by version code, 0 to 23, exactly as they are shown.
extern const std::array<QString, 24> WinVersionNames;

// What a Windows system answers when asked for its version. Registry texts
// are given as read; the rules cut them at a 0 and to 255 characters.
struct TWinVersionFacts {
    bool VersionKnown = false; // the version request answered
    quint32 PlatformId = 0;    // 1 Windows 9x, 2 Windows NT
    quint32 Major = 0;
    quint32 Minor = 0;
    QString ServicePack;
    // "ProductName" of Software\Microsoft\Windows\CurrentVersion (9x);
    // none when the key does not open.
    std::optional<QString> ProductName9x;
    // "ProductName" and "CurrentBuild" of the key
    // Software\Microsoft\Windows NT\CurrentVersion; none when it does not open.
    std::optional<QString> ProductNameNT;
    QString CurrentBuild;
    // "DisplayVersion" of the same key, opened again; none when it does not open.
    std::optional<QString> DisplayVersion;
    bool Wow64 = false;
};

struct TWinVersion {
    quint8 Code = 1;
    QString ServicePackText; // empty but on the Windows NT family
};

// The version code 1..23 and the service-pack text the facts give.
//   WinVersionFor({.VersionKnown = true, .PlatformId = 2, .Major = 10,
//                  .ProductNameNT = "Windows 10 Pro", .CurrentBuild = "22631",
//                  .Wow64 = true}).Code == 23   // "11 (64-Bit)"
[[nodiscard]] TWinVersion WinVersionFor(const TWinVersionFacts& facts);

// The code of the running system, computed once and kept for the run.
[[nodiscard]] quint8 GetWinVersionCode();
// The service-pack text found with the code; empty here.
[[nodiscard]] QString ServicePackText();

// True for a 32-bit process on a 64-bit system: the answer of the system,
// false when it cannot say (`answer` empty).
[[nodiscard]] bool IsWow64For(std::optional<bool> answer);
[[nodiscard]] bool IsWow64();

// What the access tokens of the process and its thread answer.
struct TTokenFacts {
    bool NtFamily = true;          // a system with access tokens
    bool ProcessTokenOpens = true; // the process token could be opened for querying
    std::optional<bool> Elevated;  // the token's elevation state, when it reports one
    // The groups of the thread's own token; none when the thread has none,
    // and the process token's groups count.
    std::optional<QStringList> ThreadGroups;
    QStringList ProcessGroups;
};

// The administrators' group as the system names it: Windows by the SID of
// the built-in Administrators, Linux by the groups that may use sudo.
[[nodiscard]] const QStringList& WindowsAdministrators(); // "S-1-5-32-544"
[[nodiscard]] const QStringList& LinuxAdministrators();   // "sudo", "wheel"

// True when the token lists one of `administrators`; always true without tokens.
[[nodiscard]] bool IsAdminGroupMemberFor(const TTokenFacts& token,
                                         const QStringList& administrators);
[[nodiscard]] bool IsAdminGroupMember();

// The user counts as administrator: without tokens always; else by the
// token's elevation state; with none reported, by the group check below
// version code 11 (systems before elevation), not at all from 11 on.
[[nodiscard]] bool IsUserAdminFor(const TTokenFacts& token, quint8 versionCode,
                                  bool adminGroupMember);

// What Linux answers for the process: its groups, and an elevation state
// that is always known: elevated exactly when it runs as root.
//   IsUserAdminFor(LinuxTokenFactsFor(false, {"sudo"}), 1, true) == false
[[nodiscard]] TTokenFacts LinuxTokenFactsFor(bool runsAsRoot, QStringList groups);
[[nodiscard]] bool IsUserAdmin();

// The compiler that built the program and its version: "GCC 12.2".
[[nodiscard]] QString BuildTag();

// The name of a Windows system by its version code: "Windows " and the
// display name.   WindowsSystemName(23) == "Windows 11 (64-Bit)"
[[nodiscard]] QString WindowsSystemName(quint8 versionCode);

// One line about the system: `systemName`, the service pack after a
// blank, and with bit 0 of `partFlags` " Admin" for an administrator,
// "; ", the build tag and " R".
//   SystemDescriptionFor("Windows 7 (64 Bit)", "Service Pack 1", 1, true, "GCC 12.2")
//       == "Windows 7 (64 Bit) Service Pack 1 Admin; GCC 12.2 R"
[[nodiscard]] QString SystemDescriptionFor(const QString& systemName, const QString& servicePack,
                                           unsigned partFlags, bool userAdmin,
                                           const QString& buildTag);

// The line for this system, named by its distribution.
[[nodiscard]] QString SystemDescription(unsigned partFlags);

} // namespace qz
