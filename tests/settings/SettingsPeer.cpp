// A program that keeps a settings file open as a running game does and
// takes commands on its standard input, one a line, answering each with
// one line. The tests start two of them on one file to see what two
// running programs do to each other's changes, and one in a private mount
// namespace to fill or lock its disk.
//
//   set <section> <key> <value>   ok
//   save                          ok (a save that fails is told, see "told")
//   flush                         ok | failed
//   refresh                       ok
//   get <section> <key>           the value
//   pending                       1 | 0
//   told                          <failures told> <last message, CR as "|">
//   file                          the file's bytes, CR LF as "|"
//   fill <path>                   ok, once writing zeros to <path> hit a full disk
//   remove <path>                 ok | failed
//   remount <folder> ro|rw        ok | failed
//   quit                          ends; the object saves what is pending
#include "settings/QZINI.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <iostream>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

namespace {

QString OneLine(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("|")).replace(u'\r', u'|');
}

bool FillDisk(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return false;
    const std::string block(4096, '\0');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    const bool full = errno == ENOSPC;
    ::close(fd);
    return full;
}

bool Remount(const QString& folder, bool readOnly) {
    const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
    return ::mount(nullptr, QFile::encodeName(folder).constData(), nullptr, flags, nullptr) == 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: settings_peer <settings file>\n";
        return 2;
    }
    qz::TUserSettingsFile settings(QString::fromLocal8Bit(argv[1]));
    int told = 0;
    QString lastMessage;
    settings.Ini().SetOnSaveFailure([&](const qz::TSaveFailure& failure) {
        ++told;
        lastMessage = OneLine(qz::SaveFailureMessage(failure));
    });

    std::string input;
    while (std::getline(std::cin, input)) {
        const QStringList words = QString::fromStdString(input).split(u' ');
        const QString& command = words.value(0);
        const auto word = [&words](int i) { return words.value(i); };
        QString answer = QStringLiteral("ok");
        if (command == u"set") {
            settings.writeString(word(1), word(2), words.mid(3).join(u' '));
        } else if (command == u"save") {
            settings.Save();
        } else if (command == u"flush") {
            answer = settings.Flush() ? QStringLiteral("ok") : QStringLiteral("failed");
        } else if (command == u"refresh") {
            settings.Refresh();
        } else if (command == u"get") {
            answer = settings.readString(word(1), word(2), QString());
        } else if (command == u"pending") {
            answer = settings.Ini().Modified() ? QStringLiteral("1") : QStringLiteral("0");
        } else if (command == u"told") {
            answer = QStringLiteral("%1 %2").arg(told).arg(lastMessage);
        } else if (command == u"file") {
            QFile file(settings.FileName());
            answer = file.open(QIODevice::ReadOnly) ? OneLine(QString::fromUtf8(file.readAll()))
                                                    : QStringLiteral("<missing>");
        } else if (command == u"fill") {
            answer = FillDisk(word(1)) ? QStringLiteral("ok") : QStringLiteral("failed");
        } else if (command == u"remove") {
            answer = QFile::remove(word(1)) ? QStringLiteral("ok") : QStringLiteral("failed");
        } else if (command == u"remount") {
            answer = Remount(word(1), word(2) == u"ro") ? QStringLiteral("ok")
                                                        : QStringLiteral("failed");
        } else if (command == u"quit") {
            break;
        } else {
            answer = QStringLiteral("unknown command ") + command;
        }
        std::cout << answer.toStdString() << std::endl;
    }
    return 0;
}
