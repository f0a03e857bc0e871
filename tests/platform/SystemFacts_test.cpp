// The system's own answers: the os-release format, the display name taken
// from it, and the machine names of 64-bit kernels.
#include "platform/SystemFacts.h"

#include "common/TestHelpers.h"
using namespace qz::platform;

namespace {

TEST(OsRelease, ReadsBareQuotedAndEscapedValuesAndSkipsTheRest) {
    const QHash<QString, QString> values =
        ParseOsRelease("# comment=yes\n"
                       "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"
                       "NAME='Debian \"GNU\" Linux'\n"
                       "VERSION_ID=12\n"
                       "  ID=debian  \n"
                       "QUOTE=\"say \\\"hi\\\" \\\\ \\$HOME\"\n"
                       "lower=skipped\n"
                       "=nokey\n"
                       "NOEQUALS\n"
                       "HOME_URL=\"https://www.debian.org/\"\n"
                       "UTF8=\"Gr\xC3\xBC\xC3\x9F Gott\"\n");
    EXPECT_EQ(values.value("PRETTY_NAME"), "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(values.value("NAME"), "Debian \"GNU\" Linux");
    EXPECT_EQ(values.value("VERSION_ID"), "12");
    EXPECT_EQ(values.value("ID"), "debian");
    EXPECT_EQ(values.value("QUOTE"), "say \"hi\" \\ $HOME");
    EXPECT_EQ(values.value("HOME_URL"), "https://www.debian.org/");
    EXPECT_EQ(values.value("UTF8"), QStringLiteral("Grüß Gott"));
    EXPECT_EQ(values.size(), 7) << "comments, lower-case keys and lines without a key go";
}

struct NameRow : NamedRow {
    QHash<QString, QString> osRelease;
    QString expected;
};

class SystemNameRows : public ::testing::TestWithParam<NameRow> {};

TEST_P(SystemNameRows, PrettyNameElseNameAndVersionElseTheKernel) {
    EXPECT_EQ(OperatingSystemNameFrom(GetParam().osRelease, "Linux", "6.1.0-18-amd64"),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SystemNameRows,
    ::testing::Values(
        NameRow{{"pretty"},
                {{"PRETTY_NAME", "Debian GNU/Linux 12 (bookworm)"}, {"NAME", "Debian"}},
                "Debian GNU/Linux 12 (bookworm)"},
        NameRow{{"name_and_version"},
                {{"NAME", "Fedora Linux"}, {"VERSION", "40 (Workstation Edition)"}},
                "Fedora Linux 40 (Workstation Edition)"},
        NameRow{{"name_only"}, {{"NAME", "Arch Linux"}, {"PRETTY_NAME", " "}}, "Arch Linux"},
        NameRow{{"no_os_release"}, {}, "Linux 6.1.0-18-amd64"}),
    RowName());

TEST(KernelMachine, SixtyFourBitNamesIncludeTheCompatibilityName) {
    for (const char* machine : {"x86_64", "aarch64", "ppc64le", "riscv64", "s390x", "armv8l"})
        EXPECT_TRUE(Is64BitMachine(QString::fromLatin1(machine))) << machine;
    for (const char* machine : {"i686", "armv7l", "s390", ""})
        EXPECT_FALSE(Is64BitMachine(QString::fromLatin1(machine))) << machine;
    EXPECT_FALSE(KernelMachine().isEmpty());
}

} // namespace
