#pragma once
// Shared pieces of the INI file tests: whole-file reads and writes, and a
// message box that records what it was asked to show.

#include "settings/IniFile.h"
#include "text/MsgBox.h"
#include "text/TEncoding.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <cstring>

#include <memory>

// A file object that writes UTF-8 and loads silently.
inline std::unique_ptr<qz::TIni> Utf8Ini(const QString& path) {
    return std::make_unique<qz::TIni>(path, qz::TEncoding::UTF8(), &qz::TIni::IgnoreOnErrorEncoding,
                                      qz::TVirtualizeFunction());
}

inline QByteArray FileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return f.readAll();
}

inline void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

class RecordingMsgBox : public qz::TMsgBox {
public:
    explicit RecordingMsgBox(QStringList* shown) : m_shown(shown) {}
    int Info(const QString& msg) override {
        m_shown->append(msg);
        return 1;
    }

private:
    QStringList* m_shown;
};

// Installs a RecordingMsgBox for the lifetime of the guard.
class MsgBoxRecorder {
public:
    MsgBoxRecorder() { qz::SetMsgBox(std::make_unique<RecordingMsgBox>(&shown)); }
    ~MsgBoxRecorder() { qz::SetMsgBox(nullptr); }
    MsgBoxRecorder(const MsgBoxRecorder&) = delete;
    MsgBoxRecorder& operator=(const MsgBoxRecorder&) = delete;

    QStringList shown;
};

// Collects what is logged to "qz.settings" while it lives.
class SettingsLogRecorder {
public:
    SettingsLogRecorder() : m_previous(qInstallMessageHandler(&Handle)) { s_current = this; }
    ~SettingsLogRecorder() {
        s_current = nullptr;
        qInstallMessageHandler(m_previous);
    }
    SettingsLogRecorder(const SettingsLogRecorder&) = delete;
    SettingsLogRecorder& operator=(const SettingsLogRecorder&) = delete;

    QStringList messages;

private:
    static void Handle(QtMsgType, const QMessageLogContext& context, const QString& message) {
        if (s_current && context.category && std::strcmp(context.category, "qz.settings") == 0)
            s_current->messages.append(message);
    }
    static inline SettingsLogRecorder* s_current = nullptr;
    QtMessageHandler m_previous;
};
