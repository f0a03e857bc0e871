// The system rules with made-up answers of a Windows system, and the
// Linux answers they are fed with here.
#include "system/QZ_Win_cmn.h"

#include "common/TestHelpers.h"
#include "platform/SystemFacts.h"

#include <QRegularExpression>

using namespace qz;

namespace {

// An NT system of version major.minor with this product name.
TWinVersionFacts Nt(quint32 major, quint32 minor, const QString& product, bool wow64 = false) {
    TWinVersionFacts f;
    f.VersionKnown = true;
    f.PlatformId = 2;
    f.Major = major;
    f.Minor = minor;
    f.ProductNameNT = product;
    f.Wow64 = wow64;
    return f;
}

TWinVersionFacts With(TWinVersionFacts f, const std::function<void(TWinVersionFacts&)>& change) {
    change(f);
    return f;
}

TWinVersionFacts Win9x(quint32 minor, std::optional<QString> product) {
    TWinVersionFacts f;
    f.VersionKnown = true;
    f.PlatformId = 1;
    f.Major = 4;
    f.Minor = minor;
    f.ProductName9x = std::move(product);
    return f;
}

struct VersionRow : NamedRow {
    TWinVersionFacts facts;
    quint8 code;
};

class WinVersionRows : public ::testing::TestWithParam<VersionRow> {};

TEST_P(WinVersionRows, CodeOfTheFirstRuleThatApplies) {
    EXPECT_EQ(int(WinVersionFor(GetParam().facts).Code), int(GetParam().code));
}

const QString Win10 = QStringLiteral("Windows 10 Pro");

INSTANTIATE_TEST_SUITE_P(
    Rules, WinVersionRows,
    ::testing::Values(
        VersionRow{{"request_fails"}, TWinVersionFacts{}, 1},
        VersionRow{{"win95"}, Win9x(0, QStringLiteral("Microsoft Windows 95")), 3},
        VersionRow{{"win98"}, Win9x(10, QStringLiteral("Microsoft Windows 98")), 4},
        VersionRow{{"win98_key_missing"}, Win9x(90, std::nullopt), 4},
        VersionRow{{"winme_any_case"}, Win9x(90, QStringLiteral("Microsoft Windows Me")), 6},
        VersionRow{
            {"nt_key_missing"}, With(Nt(4, 0, {}), [](auto& f) { f.ProductNameNT.reset(); }), 7},
        VersionRow{{"nt4_without_product_name"}, Nt(4, 0, {}), 1},
        VersionRow{{"win2000"}, Nt(5, 0, "Microsoft Windows 2000"), 8},
        VersionRow{{"xp"}, Nt(5, 1, "Microsoft Windows XP"), 9},
        VersionRow{{"xp_64"}, Nt(5, 2, "Microsoft Windows XP", true), 14},
        VersionRow{{"win8"}, Nt(6, 2, "Windows 8.1 Pro"), 18},
        VersionRow{{"win8_64"}, Nt(6, 3, "Windows 8.1 Pro", true), 19},
        VersionRow{
            {"win10"}, With(Nt(10, 0, Win10), [](auto& f) { f.CurrentBuild = "19045"; }), 20},
        VersionRow{{"win10_64"},
                   With(Nt(10, 0, Win10, true), [](auto& f) { f.CurrentBuild = "21999"; }),
                   21},
        // Windows 11 still calls itself Windows 10 here; its build tells.
        VersionRow{{"win11_as_win10"},
                   With(Nt(10, 0, Win10), [](auto& f) { f.CurrentBuild = "22000"; }),
                   22},
        VersionRow{{"win11_as_win10_64"},
                   With(Nt(10, 0, Win10, true), [](auto& f) { f.CurrentBuild = "22631"; }),
                   23},
        VersionRow{{"win10_build_unreadable"},
                   With(Nt(10, 0, Win10), [](auto& f) { f.CurrentBuild = "x22631"; }),
                   20},
        VersionRow{{"win11"}, Nt(10, 0, "Windows 11 Home"), 22},
        VersionRow{{"win11_64"}, Nt(10, 0, "Windows 11 Home", true), 23},
        VersionRow{{"server2003_by_major"}, Nt(5, 2, "Windows Server 2003"), 10},
        VersionRow{{"win7_by_minor"}, Nt(6, 1, "Windows 7 Professional"), 13},
        VersionRow{{"win7_64"}, Nt(6, 1, "Windows 7 Professional", true), 17},
        VersionRow{{"server2008"}, Nt(6, 0, "Windows Server (R) 2008"), 12},
        VersionRow{{"server2008_64"}, Nt(6, 0, "Windows Server (R) 2008", true), 16},
        VersionRow{{"vista"}, Nt(6, 0, "Windows Vista (TM) Ultimate"), 11},
        VersionRow{{"vista_64"}, Nt(6, 0, "Windows Vista (TM) Ultimate", true), 15},
        VersionRow{
            {"major10_21h1"},
            With(Nt(10, 0, "Windows Server 2022"), [](auto& f) { f.DisplayVersion = "21H1"; }),
            20},
        VersionRow{{"major10_21h1_64"},
                   With(Nt(10, 0, "Windows Server 2022", true),
                        [](auto& f) { f.DisplayVersion = "21H1"; }),
                   21},
        VersionRow{
            {"major10_other_display_version"},
            With(Nt(10, 0, "Windows Server 2022"), [](auto& f) { f.DisplayVersion = "23H2"; }),
            22},
        VersionRow{{"major10_key_gone_the_second_time"}, Nt(10, 0, "Windows Server 2022"), 1},
        VersionRow{{"unknown_major"}, Nt(7, 0, "Windows Server 2030"), 1},
        // Registry texts end at their first character 0.
        VersionRow{{"product_cut_at_nul"},
                   Nt(6, 1, QStringLiteral("Microsoft") + QChar(0) + "Windows XP"),
                   13},
        VersionRow{
            {"other_platform"}, With(Nt(10, 0, Win10), [](auto& f) { f.PlatformId = 3; }), 1}),
    RowName());

TEST(WinVersion, ServicePackOnlyOnTheNtFamily) {
    EXPECT_EQ(WinVersionFor(
                  With(Nt(6, 1, "Windows 7"), [](auto& f) { f.ServicePack = "Service Pack 1"; }))
                  .ServicePackText,
              "Service Pack 1");
    EXPECT_EQ(
        WinVersionFor(With(Win9x(10, {}), [](auto& f) { f.ServicePack = " A"; })).ServicePackText,
        "");
    EXPECT_EQ(WinVersionFor(
                  With(Nt(5, 1, "Windows XP"), [](auto& f) { f.ServicePack = QString(200, 'x'); }))
                  .ServicePackText.size(),
              128);
    EXPECT_EQ(int(GetWinVersionCode()), 1) << "Linux is no Windows: \"?\"";
    EXPECT_EQ(WinVersionNames[GetWinVersionCode()], "?");
}

TTokenFacts Token(std::optional<bool> elevated, QStringList process,
                  std::optional<QStringList> thread = std::nullopt) {
    TTokenFacts t;
    t.Elevated = elevated;
    t.ProcessGroups = std::move(process);
    t.ThreadGroups = std::move(thread);
    return t;
}

const QString Admins = QStringLiteral("S-1-5-32-544");
const QString Users = QStringLiteral("S-1-5-32-545");

struct AdminRow : NamedRow {
    TTokenFacts token;
    quint8 code;
    bool groupMember;
    bool userAdmin;
};

class AdminRows : public ::testing::TestWithParam<AdminRow> {};

TEST_P(AdminRows, GroupAndAdminChecks) {
    const AdminRow& row = GetParam();
    EXPECT_EQ(IsAdminGroupMemberFor(row.token, WindowsAdministrators()), row.groupMember);
    EXPECT_EQ(IsUserAdminFor(row.token, row.code,
                             IsAdminGroupMemberFor(row.token, WindowsAdministrators())),
              row.userAdmin);
}

TTokenFacts NoTokens() {
    TTokenFacts t;
    t.NtFamily = false;
    return t;
}

TTokenFacts TokenFails() {
    TTokenFacts t = Token(true, {Admins});
    t.ProcessTokenOpens = false;
    return t;
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, AdminRows,
    ::testing::Values(
        AdminRow{{"no_tokens_everyone_is_admin"}, NoTokens(), 4, true, true},
        AdminRow{{"token_does_not_open"}, TokenFails(), 13, true, false},
        AdminRow{{"elevated"}, Token(true, {Users}), 23, false, true},
        AdminRow{{"not_elevated_member"}, Token(false, {Admins}), 23, true, false},
        AdminRow{{"no_elevation_before_vista"}, Token({}, {Users, Admins}), 9, true, true},
        AdminRow{{"no_elevation_before_vista_user"}, Token({}, {Users}), 10, false, false},
        AdminRow{{"no_elevation_from_vista_on"}, Token({}, {Admins}), 11, true, false},
        AdminRow{{"thread_token_counts"}, Token({}, {Users}, QStringList{Admins}), 9, true, true},
        AdminRow{
            {"thread_token_without_admins"}, Token({}, {Admins}, QStringList{}), 9, false, false}),
    RowName());

// Linux: only root is elevated; the sudo and wheel groups are memberships,
// not rights, whatever the version code (1, "?", lets the group rule of the
// systems before elevation apply when no elevation state is known).
struct LinuxAdminRow : NamedRow {
    bool root;
    QStringList groups;
    bool groupMember;
    bool userAdmin;
};

class LinuxAdminRows : public ::testing::TestWithParam<LinuxAdminRow> {};

TEST_P(LinuxAdminRows, OnlyRootIsAnAdministrator) {
    const LinuxAdminRow& row = GetParam();
    const TTokenFacts token = LinuxTokenFactsFor(row.root, row.groups);
    const bool member = IsAdminGroupMemberFor(token, LinuxAdministrators());
    EXPECT_EQ(member, row.groupMember);
    EXPECT_EQ(IsUserAdminFor(token, GetWinVersionCode(), member), row.userAdmin);
}

INSTANTIATE_TEST_SUITE_P(
    Users, LinuxAdminRows,
    ::testing::Values(LinuxAdminRow{{"desktop_user_in_sudo"}, false, {"ann", "sudo"}, true, false},
                      LinuxAdminRow{{"desktop_user_in_wheel"}, false, {"wheel"}, true, false},
                      LinuxAdminRow{{"plain_user"}, false, {"ann", "users"}, false, false},
                      LinuxAdminRow{{"root"}, true, {"root"}, false, true},
                      LinuxAdminRow{{"root_in_sudo"}, true, {"root", "sudo"}, true, true}),
    RowName());

TEST(AdminChecks, HereTheAnswerIsWhetherTheProcessRunsAsRoot) {
    const QStringList groups = qz::platform::ProcessGroupNames();
    EXPECT_EQ(IsAdminGroupMember(), groups.contains("sudo") || groups.contains("wheel"));
    EXPECT_EQ(IsUserAdmin(), qz::platform::RunsAsRoot());
}

TEST(SystemDescription, TailOnlyWithBitZero) {
    const quint8 code =
        WinVersionFor(With(Nt(10, 0, Win10, true), [](auto& f) { f.CurrentBuild = "22631"; })).Code;
    const QString name = WindowsSystemName(code);
    EXPECT_EQ(name, "Windows 11 (64-Bit)");
    EXPECT_EQ(SystemDescriptionFor(name, "Service Pack 1", 1, true, "GCC 12.2"),
              "Windows 11 (64-Bit) Service Pack 1 Admin; GCC 12.2 R");
    EXPECT_EQ(SystemDescriptionFor(name, "Service Pack 1", 0, true, "GCC 12.2"),
              "Windows 11 (64-Bit) Service Pack 1");
    EXPECT_EQ(SystemDescriptionFor(name, "", 3, false, "GCC 12.2"),
              "Windows 11 (64-Bit); GCC 12.2 R");
    EXPECT_EQ(WindowsSystemName(17), "Windows 7 (64 Bit)") << "names shown exactly as listed";

    // Here: the distribution's name, then the Linux answers.
    EXPECT_TRUE(QRegularExpression("^(GCC|Clang) \\d+\\.\\d+$").match(BuildTag()).hasMatch())
        << BuildTag().toStdString();
    const QString system = qz::platform::OperatingSystemName();
    EXPECT_FALSE(system.isEmpty());
    EXPECT_EQ(SystemDescription(0), system);
    EXPECT_EQ(SystemDescription(1),
              system + (IsUserAdmin() ? " Admin" : "") + "; " + BuildTag() + " R");
}

} // namespace
