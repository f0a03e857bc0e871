// The start-up folder rules with made-up Windows answers and a file system
// of sets, and the values the start-up gathers here.
#include "system/SystemFolders.h"

#include "common/TestHelpers.h"
#include "text/EQZError.h"
#include "text/MsgBox.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace qz;

namespace {

const QString BadWindowsDir = QStringLiteral("Windows-Pfad fehlerhaft oder unvollständig");

// Folders that exist, that can be made, and that can be written to.
struct FakeFolders {
    QSet<QString> existing;
    QSet<QString> creatable;
    QSet<QString> writable;
    QStringList created;

    TFolderAccess access() {
        return {[this](const QString& d) { return existing.contains(d); },
                [this](const QString& d) {
                    created << d;
                    if (creatable.contains(d))
                        existing.insert(d);
                    return existing.contains(d);
                },
                [this](const QString& d) { return writable.contains(d); }};
    }
};

// A message box that tells what it was asked instead of throwing.
class NotedBox : public TMsgBox {
public:
    int Info(const QString& msg) override {
        noted << msg;
        return mrOk;
    }
    QStringList noted;
};

TEST(WindowsDir, AcceptedWithTrailingBackslash) {
    SetMsgBox(nullptr);
    EXPECT_EQ(CheckedWindowsDir(QStringLiteral("C:\\Windows")), "C:\\Windows\\");
    EXPECT_EQ(CheckedWindowsDir(QStringLiteral("C:\\Windows\\")), "C:\\Windows\\");
    EXPECT_EQ(CheckedWindowsDir(QStringLiteral("D:\\W")), "D:\\W\\");
    EXPECT_EQ(CheckedWindowsDir(std::nullopt), "") << "no answer: nothing to check, no report";
}

TEST(WindowsDir, MalformedEndsTheStartUpWhileOnlyTheBaseBoxExists) {
    SetMsgBox(nullptr);
    for (const char* bad : {"CWindows", "C:", "C:\\", "C:/Windows", "\\\\server\\win", ""}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW_MSG((void)CheckedWindowsDir(QString::fromLatin1(bad)), EQZError,
                         BadWindowsDir + "\rMsgBox not assigned");
    }
    // A box that returns: reported, and no Windows folder.
    auto box = std::make_unique<NotedBox>();
    NotedBox* noted = box.get();
    SetMsgBox(std::move(box));
    EXPECT_EQ(CheckedWindowsDir(QStringLiteral("C:")), "");
    EXPECT_EQ(noted->noted, QStringList({BadWindowsDir}));
    SetMsgBox(nullptr);
}

TEST(FolderRules, DocumentsAndSharedFoldersWithTheirFallbacks) {
    EXPECT_EQ(DriveRootOf("D:\\Windows\\"), "D:\\");
    EXPECT_EQ(DriveRootOf(""), "C:\\");

    FakeFolders fs;
    fs.creatable = {"D:\\MyFiles", "D:\\CommonFiles", "D:\\CommonDocuments"};
    TFolderAccess access = fs.access();
    EXPECT_EQ(MyFilesDirFor("C:\\Users\\Ann\\Documents", "D:\\", access),
              "C:\\Users\\Ann\\Documents")
        << "taken as the system names it";
    EXPECT_EQ(MyFilesDirFor("", "D:\\", access), "D:\\MyFiles");
    EXPECT_EQ(fs.created, QStringList({"D:\\MyFiles"}));

    const QString pub = "C:\\Users\\Public\\Documents";
    fs.existing = {"C:\\ProgramData", pub, pub + "\\VombCmn\\"};
    fs.created.clear();
    EXPECT_EQ(CommonFilesDirFor("C:\\ProgramData", pub, '\\', "D:\\", access), "C:\\ProgramData");
    EXPECT_EQ(CommonFilesDirFor("C:\\Gone", pub, '\\', "D:\\", access), pub + "\\VombCmn\\");
    EXPECT_EQ(CommonFilesDirFor("", pub + "\\", '\\', "D:\\", access), pub + "\\VombCmn\\");
    fs.existing.remove(pub + "\\VombCmn\\");
    EXPECT_EQ(CommonFilesDirFor("", pub, '\\', "D:\\", access), "D:\\CommonFiles");
    EXPECT_EQ(CommonFilesDirFor("", "", '\\', "D:\\", access), "D:\\CommonFiles")
        << "no common documents: no relative \"VombCmn\\\"";
    EXPECT_EQ(fs.created, QStringList({"D:\\CommonFiles"})) << "made once, then found";

    EXPECT_EQ(CommonDocumentsDirFor(pub, "D:\\", access), pub);
    EXPECT_EQ(CommonDocumentsDirFor("C:\\Gone", "D:\\", access), "D:\\CommonDocuments");
    EXPECT_EQ(CommonDocumentsDirFor("", "D:\\", access), "D:\\CommonDocuments");
}

struct TempRow : NamedRow {
    TTempDirFacts facts;
    QSet<QString> writable;
    QString expected;
    QStringList created;
};

class TempDirRows : public ::testing::TestWithParam<TempRow> {};

TEST_P(TempDirRows, TemporaryFolder) {
    FakeFolders fs;
    fs.creatable = GetParam().writable;
    fs.writable = GetParam().writable;
    EXPECT_EQ(TempDirFor(GetParam().facts, fs.access()), GetParam().expected);
    EXPECT_EQ(fs.created, GetParam().created);
}

const QString Profiled = QStringLiteral("%USERPROFILE%\\AppData\\Local\\Temp");
const QString AnnTemp = QStringLiteral("C:\\Users\\Ann\\AppData\\Local\\Temp");

INSTANTIATE_TEST_SUITE_P(
    Folders, TempDirRows,
    ::testing::Values(
        TempRow{{"system_temp"}, {"C:\\Temp", "D:\\Tmp", "", '\\'}, {}, "C:\\Temp\\", {}},
        TempRow{{"inside_windows_takes_tmp"},
                {"c:\\WINDOWS\\Temp", "D:\\Tmp", "", '\\'},
                {},
                "D:\\Tmp\\",
                {}},
        TempRow{{"inside_windows_without_tmp"}, {"C:\\Windows\\Temp", "", "", '\\'}, {}, "", {}},
        TempRow{{"profile_from_documents"},
                {"C:\\Windows\\Temp", Profiled, "C:\\Users\\Ann\\Documents", '\\'},
                {AnnTemp},
                AnnTemp + "\\",
                {AnnTemp}},
        TempRow{{"profile_documents_with_backslash"},
                {"C:\\Windows\\Temp", "%userprofile%\\T", "C:\\Users\\Ann\\Documents\\", '\\'},
                {"C:\\Users\\Ann\\T"},
                "C:\\Users\\Ann\\T\\",
                {"C:\\Users\\Ann\\T"}},
        TempRow{{"profile_on_a_drive"},
                {"C:\\Windows\\Temp", "%userprofile%\\T", "D:", '\\'},
                {"D:\\T"},
                "D:\\T\\",
                {"D:\\T"}},
        TempRow{{"profile_not_writable"},
                {"C:\\Windows\\Temp", Profiled, "C:\\Users\\Ann\\Documents", '\\'},
                {},
                "",
                {AnnTemp}},
        // No documents folder: no profile to put in, and no folder made
        // relative to wherever the program was started.
        TempRow{{"profile_without_documents"},
                {"C:\\Windows\\Temp", Profiled, "", '\\'},
                {"AppData\\Local\\Temp"},
                "",
                {}},
        TempRow{{"longest_kept"},
                {"C:\\" + QString(251, 'x'), "", "", '\\'},
                {},
                "C:\\" + QString(251, 'x') + "\\",
                {}},
        TempRow{{"too_long"}, {"C:\\" + QString(252, 'x'), "", "", '\\'}, {}, "", {}}),
    RowName());

TEST(StartUp, LinuxValuesEndWithASlash) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString home = dir.filePath("home");
    const QString shared = dir.filePath("shared");
    ASSERT_TRUE(QDir().mkpath(shared));
    const QByteArray saved[] = {qgetenv("HOME"), qgetenv("XDG_DATA_HOME"), qgetenv("XDG_DATA_DIRS"),
                                qgetenv("XDG_CONFIG_HOME")};
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_DATA_HOME", (home + "/.local/share").toUtf8());
    qputenv("XDG_DATA_DIRS", shared.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + "/.config").toUtf8());

    SetMsgBox(nullptr);
    StartUpSystemInformation();
    const TSystemFolders& f = SystemFolders();
    EXPECT_EQ(f.WindowsDir, "/");
    EXPECT_EQ(f.SystemDir, "/usr/lib/");
    EXPECT_EQ(f.MyFilesDir, home + "/Documents/");
    EXPECT_EQ(f.CommonFilesDir, shared + "/");
    // No public folder: the fallback in the user's data folder is named,
    // not made, and nothing else is made in the home either.
    EXPECT_EQ(f.CommonDocumentsDir, home + "/.local/share/CommonDocuments/");
    EXPECT_FALSE(QFileInfo::exists(home)) << "the start-up made folders in the home";
    EXPECT_EQ(f.TempDir, QDir::tempPath() + "/");

    // Without any shared data folder, "CommonFiles" is not made either.
    qputenv("XDG_DATA_DIRS", dir.filePath("gone").toUtf8());
    StartUpSystemInformation();
    EXPECT_EQ(SystemFolders().CommonFilesDir, home + "/.local/share/CommonFiles/");
    EXPECT_FALSE(QFileInfo::exists(home)) << "the start-up made folders in the home";

    const char* names[] = {"HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME"};
    for (int i = 0; i < 4; ++i)
        saved[i].isNull() ? qunsetenv(names[i]) : qputenv(names[i], saved[i]);
}

} // namespace
