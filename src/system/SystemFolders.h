#pragma once
// The folder values the program gathers when it starts, after the
// window-less message box exists and before the windowed one is installed:
// the system's folders, the user's documents, the folders shared by all
// users and the temporary folder. The rules are plain functions in the
// Windows form of the values ("C:\Windows\"), tried with made-up answers;
// the start-up feeds them with what Linux has:
// - the Windows folder is the root folder "/", which always exists and is
//   always well formed, so it has nothing to check; the system folder is
//   "/usr/lib/";
// - the documents, the all-users data (the system-wide XDG data folder)
//   and the common documents (the desktop's public folder) as the desktop
//   names them;
// - where a rule puts a missing folder at the root of the Windows drive,
//   the user's data folder ("~/.local/share/") takes its place, so that
//   nothing is named outside the user's own folders;
// - folders are looked up, never made: the program writes nothing into
//   them, and a folder it never uses must not appear in the user's home.
//   A fallback names the folder where it would be; whoever writes there
//   makes it when it writes;
// - the temporary folder ($TMPDIR or /tmp); Linux keeps no registry, so
//   the registry's values are empty;
// - every value ends with "/", as all folder values here do.
//
//   qz::StartUpSystemInformation();
//   qz::SystemFolders().TempDir == "/tmp/"

#include <QString>

#include <functional>
#include <optional>

namespace qz {

struct TSystemFolders {
    QString WindowsDir;
    QString SystemDir;
    QString MyFilesDir;
    QString CommonFilesDir;
    QString CommonDocumentsDir;
    QString TempDir;
};

// How the rules touch the file system; tests hand in their own.
struct TFolderAccess {
    std::function<bool(const QString& dir)> DirectoryExists;
    // Creates the folder with its parents; true when it exists afterwards.
    std::function<bool(const QString& dir)> CreateDirectories;
    std::function<bool(const QString& dir)> IsWritable;
};

// The Windows folder checked: one trailing "\" removed, it must have at
// least 4 characters, ":" second and "\" third; it is then returned with
// a trailing "\". A malformed one is reported with MsgBox()->ErrInfo
// ("Windows-Pfad fehlerhaft oder unvollständig"), which ends the start-up
// while only the window-less box exists, and gives "". No answer (the
// request failed) gives "" without a report.
//   CheckedWindowsDir("C:\\Windows") == "C:\\Windows\\"
[[nodiscard]] QString CheckedWindowsDir(const std::optional<QString>& answer);

// The root of the Windows folder's drive, where the rules put missing
// folders: "C:\" for "D:\Windows\" gives "D:\"; "C:\" when there is no
// Windows folder.
[[nodiscard]] QString DriveRootOf(const QString& windowsDir);

// The user's documents, else `fallbackRoot` + "MyFiles", created.
[[nodiscard]] QString MyFilesDirFor(const QString& documents, const QString& fallbackRoot,
                                    const TFolderAccess& access);

// The all-users application data if it exists, else the common documents
// with `separator`, "VombCmn" and `separator` if that exists, else
// `fallbackRoot` + "CommonFiles", created.
[[nodiscard]] QString CommonFilesDirFor(const QString& commonAppData,
                                        const QString& commonDocuments, QChar separator,
                                        const QString& fallbackRoot, const TFolderAccess& access);

// The common documents if they exist, else `fallbackRoot` +
// "CommonDocuments", created.
[[nodiscard]] QString CommonDocumentsDirFor(const QString& commonDocuments,
                                            const QString& fallbackRoot,
                                            const TFolderAccess& access);

struct TTempDirFacts {
    QString SystemTemp;     // what the system names as its temporary folder
    QString RegistryTmp;    // the user's "TMP" in "Environment", unexpanded
    QString PersonalFolder; // the user's "Personal" shell folder
    QChar Separator = QLatin1Char('\\');
};

// The temporary folder with a trailing separator, or "". One inside the
// Windows folder ("Windows\", any case) gives way to the user's TMP value,
// whose "%userprofile%\" becomes the parent of the documents folder; such
// a folder is created and kept only when it is writable.
//   TempDirFor({"C:\\Windows\\Temp", "%USERPROFILE%\\Temp", "C:\\Users\\Ann\\Documents"}, fs)
//       == "C:\\Users\\Ann\\Temp\\"   (when it can be created and written)
[[nodiscard]] QString TempDirFor(const TTempDirFacts& facts, const TFolderAccess& access);

// Gathers the folder values for this system and fixes the version code;
// a malformed Windows folder ends it with EQZError (see CheckedWindowsDir).
void StartUpSystemInformation();

// The values of the start-up; empty before it ran. They live until exit.
[[nodiscard]] const TSystemFolders& SystemFolders();

} // namespace qz
