// Helpers shared by the TovikWin tests: files written and read whole,
// stand-in interpreters written as shell scripts, and closing the message
// box a test provokes.
#pragma once

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTimer>

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes an executable /bin/sh script with `body` to `path`.
inline bool WriteScript(const QString& path, const QByteArray& body) {
    return WriteBytes(path, "#!/bin/sh\n" + body + "\n") &&
           QFile::setPermissions(
               path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// Closes the next message box once it is shown and keeps its text. Arm it
// before the action that opens the box; it stops looking when destroyed.
struct CDialogCatcher : QObject {
    QString text;  // empty until a box was seen

    void Arm() {
        QTimer::singleShot(20, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return Arm();
            text = box->text();
            box->reject();
        });
    }
};
