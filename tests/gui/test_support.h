// Helpers shared by the TovikWin tests: stand-in interpreters written as
// shell scripts, and closing the modal dialogs a test provokes.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

// Writes an executable /bin/sh script with `body` to `path`.
inline bool WriteScript(const QString& path, const QByteArray& body)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("#!/bin/sh\n" + body + "\n");
    file.close();
    return file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Closes the next modal dialog once it is shown and records its title and
// text. Arm it before the action that opens the dialog; it stops looking
// when it is destroyed.
struct CDialogCatcher : QObject
{
    QString title;
    QString text;
    bool seen = false;

    void Arm()
    {
        QTimer::singleShot(20, this, [this] { Poll(); });
    }

private:
    void Poll()
    {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            Arm();
            return;
        }
        seen = true;
        title = dialog->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(dialog))
            text = box->text();
        else if (auto* label = dialog->findChild<QLabel*>())
            text = label->text();
        dialog->reject();
    }
};
