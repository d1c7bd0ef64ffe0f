// Helpers shared by the TovikWin tests: files written and read whole,
// stand-in interpreters written as shell scripts, and answering the dialogs
// a test provokes.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

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

// Answers the modal dialogs that show up, in order, one answer each: a
// message box by the button with that text ("Save", "Discard", "Cancel",
// "Open", "OK"), a file dialog by choosing that file, an input dialog by
// typing that text. Create it before the action that opens the dialogs; it
// stops when destroyed or out of answers.
struct CDialogAnswers : QObject {
    QStringList texts;  // the texts of the message boxes answered

    explicit CDialogAnswers(QStringList answers) : m_answers(std::move(answers)) { Poll(); }
    bool Done() const { return m_answers.isEmpty(); }

private:
    void Poll() {
        QTimer::singleShot(20, this, [this] {
            if (QWidget* dialog = QApplication::activeModalWidget())
                Answer(dialog, m_answers.takeFirst());
            if (!m_answers.isEmpty()) Poll();
        });
    }

    void Answer(QWidget* dialog, const QString& answer) {
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            texts << box->text();
            for (QAbstractButton* button : box->buttons())
                if (button->text().remove(QLatin1Char('&')) == answer) return button->click();
            box->reject();
        } else if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
            // selectFile() leaves the name field alone while it has the focus.
            files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(answer);
            static_cast<QDialog*>(files)->accept();  // public in QDialog
        } else if (auto* input = qobject_cast<QInputDialog*>(dialog)) {
            auto* spin = input->findChild<QSpinBox*>();
            spin->selectAll();
            QTest::keyClicks(spin, answer);
            input->accept();
        }
    }

    QStringList m_answers;
};
