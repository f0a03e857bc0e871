// A console program of the makers, built outside the tree against the
// installed common library: it writes an INI file, reads it back in a new
// object, loads a text file, and says what it found. Qt Core only.
#include <settings/IniFile.h>
#include <text/EQZError.h>
#include <text/QZ_Files.h>
#include <text/TEncoding.h>

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: consumer <ini file> <text file>\n");
        return 2;
    }
    const QString ini = QString::fromLocal8Bit(argv[1]);
    const QString textFile = QString::fromLocal8Bit(argv[2]);
    try {
        {
            qz::TIni out(ini);
            out.WriteString(QStringLiteral("Spieler"), QStringLiteral("Name"),
                            QStringLiteral("Jürgen"));
            out.WriteInteger(QStringLiteral("Spieler"), QStringLiteral("Punkte"), 452);
            out.Save();
        }
        qz::TIni in(ini);
        QString text;
        // Unmarked UTF-8 is told from the system code page by its content.
        qz::LoadTextFile(textFile, nullptr, text, qz::AnsiDeciderExOf(qz::DefaultDecider()));
        std::printf(
            "%s %d %s\n",
            qPrintable(in.ReadString(QStringLiteral("Spieler"), QStringLiteral("Name"), {})),
            in.ReadInteger(QStringLiteral("Spieler"), QStringLiteral("Punkte"), 0),
            qPrintable(text.trimmed()));
    } catch (const qz::EQZError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
