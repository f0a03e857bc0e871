#include "platform/SystemFacts.h"

#include <QFile>

#include <grp.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <vector>

namespace qz::platform {

namespace {

QString UnquotedValue(QByteArrayView raw) {
    QByteArray out;
    if (raw.size() >= 2 && raw.front() == '\'' && raw.back() == '\'')
        return QString::fromUtf8(raw.sliced(1, raw.size() - 2));
    if (raw.size() >= 2 && raw.front() == '"' && raw.back() == '"')
        raw = raw.sliced(1, raw.size() - 2);
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size())
            ++i;
        out.append(raw[i]);
    }
    return QString::fromUtf8(out);
}

bool IsKey(QByteArrayView key) {
    if (key.isEmpty())
        return false;
    for (const char c : key)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'))
            return false;
    return true;
}

struct TKernel {
    QString Name, Release, Machine;
};

TKernel Kernel() {
    utsname names{};
    if (uname(&names) != 0)
        return {};
    return {QString::fromUtf8(names.sysname), QString::fromUtf8(names.release),
            QString::fromUtf8(names.machine)};
}

} // namespace

QHash<QString, QString> ParseOsRelease(const QByteArray& text) {
    QHash<QString, QString> values;
    for (const QByteArray& line : text.split('\n')) {
        const QByteArrayView trimmed = QByteArrayView(line).trimmed();
        const qsizetype eq = trimmed.indexOf('=');
        if (trimmed.startsWith('#') || eq <= 0 || !IsKey(trimmed.first(eq)))
            continue;
        values.insert(QString::fromLatin1(trimmed.first(eq)),
                      UnquotedValue(trimmed.sliced(eq + 1)));
    }
    return values;
}

QString OperatingSystemNameFrom(const QHash<QString, QString>& osRelease, const QString& kernelName,
                                const QString& kernelRelease) {
    const QString pretty = osRelease.value(QStringLiteral("PRETTY_NAME")).trimmed();
    if (!pretty.isEmpty())
        return pretty;
    const QString joined = (osRelease.value(QStringLiteral("NAME")).trimmed() + QLatin1Char(' ') +
                            osRelease.value(QStringLiteral("VERSION")).trimmed())
                               .trimmed();
    if (!joined.isEmpty())
        return joined;
    return (kernelName + QLatin1Char(' ') + kernelRelease).trimmed();
}

QString OperatingSystemName() {
    QHash<QString, QString> osRelease;
    for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
        QFile file(QString::fromLatin1(path));
        if (file.open(QIODevice::ReadOnly)) {
            // A sane os-release is a few hundred bytes.
            osRelease = ParseOsRelease(file.read(64 * 1024));
            break;
        }
    }
    const TKernel kernel = Kernel();
    return OperatingSystemNameFrom(osRelease, kernel.Name, kernel.Release);
}

QString KernelMachine() {
    return Kernel().Machine;
}

bool Is64BitMachine(const QString& machine) {
    return machine.contains(QLatin1String("64")) || machine == QLatin1String("s390x") ||
           machine == QLatin1String("alpha") || machine == QLatin1String("armv8l");
}

bool RunsAsRoot() {
    return geteuid() == 0;
}

QStringList ProcessGroupNames() {
    std::vector<gid_t> ids(1, getegid());
    const int count = getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> more(static_cast<size_t>(count));
        const int got = getgroups(count, more.data());
        if (got > 0)
            ids.insert(ids.end(), more.begin(), more.begin() + got);
    }
    QStringList names;
    std::vector<char> buffer(16 * 1024);
    for (const gid_t id : ids) {
        group entry{};
        group* found = nullptr;
        const bool named =
            getgrgid_r(id, &entry, buffer.data(), buffer.size(), &found) == 0 && found;
        const QString name = named ? QString::fromUtf8(found->gr_name) : QString::number(id);
        if (!names.contains(name))
            names.append(name);
    }
    return names;
}

} // namespace qz::platform
