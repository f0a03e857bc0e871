#pragma once
// Shared pieces of the INI file tests: whole-file reads and writes, and a
// message box that records what it was asked to show.

#include "text/MsgBox.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <memory>

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
