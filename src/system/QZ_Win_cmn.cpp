#include "system/QZ_Win_cmn.h"

#include "platform/SystemFacts.h"
#include "text/QZ_cmn.h"

namespace qz {

const std::array<QString, 24> WinVersionNames = {
    QString(),
    QStringLiteral("?"),
    QStringLiteral("3"),
    QStringLiteral("95"),
    QStringLiteral("98"),
    QStringLiteral("98SE"),
    QStringLiteral("ME"),
    QStringLiteral("NT"),
    QStringLiteral("2000"),
    QStringLiteral("XP"),
    QStringLiteral("2003"),
    QStringLiteral("Vista (32-Bit)"),
    QStringLiteral("2008 (32 Bit)"),
    QStringLiteral("7 (32-Bit)"),
    QStringLiteral("XP (64 Bit)"),
    QStringLiteral("Vista (64-Bit)"),
    QStringLiteral("2008 (64-Bit)"),
    QStringLiteral("7 (64 Bit)"),
    QStringLiteral("8 (32-Bit)"),
    QStringLiteral("8 (64-Bit)"),
    QStringLiteral("10 (32-Bit)"),
    QStringLiteral("10 (64-Bit)"),
    QStringLiteral("11 (32-Bit)"),
    QStringLiteral("11 (64-Bit)"),
};

namespace {

constexpr quint32 PlatformWin9x = 1;
constexpr quint32 PlatformWinNT = 2;

// A registry text as the rules read it: at most 255 characters, cut at
// the first character 0.
QString RegistryText(const QString& value) {
    QString text = value.left(255);
    TruncateAtNul(text);
    return text;
}

quint8 Pick(bool wow64, quint8 code32, quint8 code64) {
    return wow64 ? code64 : code32;
}

quint8 WinNTCode(const TWinVersionFacts& f, const QString& product) {
    const auto has = [&product](const char* what) { return product.contains(QLatin1String(what)); };
    if (has("WINDOWS 2000"))
        return 8;
    if (has("WINDOWS XP"))
        return Pick(f.Wow64, 9, 14);
    if (has("WINDOWS 8"))
        return Pick(f.Wow64, 18, 19);
    if (has("WINDOWS 10")) {
        // Windows 11 still calls itself Windows 10 here; its builds tell.
        QString build = RegistryText(f.CurrentBuild);
        return TakeLeadingInteger(build) < 22000 ? Pick(f.Wow64, 20, 21) : Pick(f.Wow64, 22, 23);
    }
    if (has("WINDOWS 11"))
        return Pick(f.Wow64, 22, 23);
    if (f.Major == 5)
        return 10;
    if (f.Major == 6 && f.Minor != 0)
        return Pick(f.Wow64, 13, 17);
    if (f.Major == 6)
        return has("2008") ? Pick(f.Wow64, 12, 16) : Pick(f.Wow64, 11, 15);
    if (f.Major == 10) {
        if (!f.DisplayVersion)
            return 1;
        return RegistryText(*f.DisplayVersion) == QLatin1String("21H1") ? Pick(f.Wow64, 20, 21)
                                                                        : Pick(f.Wow64, 22, 23);
    }
    return 1;
}

TTokenFacts LinuxTokenFacts() {
    return LinuxTokenFactsFor(platform::RunsAsRoot(), platform::ProcessGroupNames());
}

} // namespace

TWinVersion WinVersionFor(const TWinVersionFacts& f) {
    TWinVersion result;
    if (!f.VersionKnown)
        return result;
    if (f.PlatformId == PlatformWin9x) {
        if (f.Minor < 10)
            result.Code = 3;
        else if (f.ProductName9x &&
                 RegistryText(*f.ProductName9x).toUpper().contains(QLatin1String("WINDOWS ME")))
            result.Code = 6;
        else
            result.Code = 4;
    } else if (f.PlatformId == PlatformWinNT) {
        result.ServicePackText = f.ServicePack.left(128);
        result.Code = f.ProductNameNT ? WinNTCode(f, RegistryText(*f.ProductNameNT).toUpper()) : 7;
    }
    return result;
}

namespace {

// Linux answers no Windows version request: the code is 1, "?".
const TWinVersion& RunningWinVersion() {
    static const TWinVersion version = WinVersionFor(TWinVersionFacts{});
    return version;
}

} // namespace

quint8 GetWinVersionCode() {
    return RunningWinVersion().Code;
}

QString ServicePackText() {
    return RunningWinVersion().ServicePackText;
}

bool IsWow64For(std::optional<bool> answer) {
    return answer.value_or(false);
}

bool IsWow64() {
    const QString machine = platform::KernelMachine();
    if (machine.isEmpty())
        return IsWow64For(std::nullopt);
    return IsWow64For(platform::Is32BitProcess() && platform::Is64BitMachine(machine));
}

const QStringList& WindowsAdministrators() {
    static const QStringList sids = {QStringLiteral("S-1-5-32-544")};
    return sids;
}

const QStringList& LinuxAdministrators() {
    static const QStringList groups = {QStringLiteral("sudo"), QStringLiteral("wheel")};
    return groups;
}

bool IsAdminGroupMemberFor(const TTokenFacts& token, const QStringList& administrators) {
    if (!token.NtFamily)
        return true;
    const QStringList& groups = token.ThreadGroups ? *token.ThreadGroups : token.ProcessGroups;
    for (const QString& group : groups)
        if (administrators.contains(group))
            return true;
    return false;
}

bool IsAdminGroupMember() {
    return IsAdminGroupMemberFor(LinuxTokenFacts(), LinuxAdministrators());
}

bool IsUserAdminFor(const TTokenFacts& token, quint8 versionCode, bool adminGroupMember) {
    if (!token.NtFamily)
        return true;
    if (!token.ProcessTokenOpens)
        return false;
    if (token.Elevated)
        return *token.Elevated;
    return versionCode < 11 && adminGroupMember;
}

// Threads share the process's credentials, so there is no thread token.
TTokenFacts LinuxTokenFactsFor(bool runsAsRoot, QStringList groups) {
    TTokenFacts token;
    // Without a reported state the rule would fall back to the groups, and
    // every desktop user in "sudo" would count as an administrator.
    token.Elevated = runsAsRoot;
    token.ProcessGroups = std::move(groups);
    return token;
}

bool IsUserAdmin() {
    const TTokenFacts token = LinuxTokenFacts();
    return IsUserAdminFor(token, GetWinVersionCode(),
                          IsAdminGroupMemberFor(token, LinuxAdministrators()));
}

QString BuildTag() {
#if defined(__clang__)
    return QStringLiteral("Clang %1.%2").arg(__clang_major__).arg(__clang_minor__);
#elif defined(__GNUC__)
    return QStringLiteral("GCC %1.%2").arg(__GNUC__).arg(__GNUC_MINOR__);
#else
    return QStringLiteral("C++");
#endif
}

QString WindowsSystemName(quint8 versionCode) {
    return QStringLiteral("Windows ") +
           (versionCode < WinVersionNames.size() ? WinVersionNames[versionCode] : QString());
}

QString SystemDescriptionFor(const QString& systemName, const QString& servicePack,
                             unsigned partFlags, bool userAdmin, const QString& buildTag) {
    QString tail;
    if (partFlags & 1u) {
        if (userAdmin)
            tail = QStringLiteral(" Admin");
        tail += QStringLiteral("; ") + buildTag + QStringLiteral(" R");
    }
    const QString sp = servicePack.isEmpty() ? QString() : QLatin1Char(' ') + servicePack;
    return systemName + sp + tail;
}

QString SystemDescription(unsigned partFlags) {
    // The admin check runs only when the line asks for it.
    const bool admin = (partFlags & 1u) && IsUserAdmin();
    return SystemDescriptionFor(platform::OperatingSystemName(), ServicePackText(), partFlags,
                                admin, BuildTag());
}

} // namespace qz
