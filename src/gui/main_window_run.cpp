// CMainWindow: Run and Stop, the run file in the window's private
// directory, the output of a run and its status in the status bar.
#include "gui/main_window.h"

#include "gui/code_editor.h"
#include "gui/output_pane.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QStandardPaths>

namespace {

constexpr char kInterpreterName[] = "tovik";
constexpr char kRunFileName[] = "tmp.in.txt";

QString SolutionsText(int count) {
    return count == 1 ? QStringLiteral("1 solution") : QStringLiteral("%1 solutions").arg(count);
}

}  // namespace

QString CMainWindow::InterpreterPath() const {
    const QString beside = QDir(m_programDir).filePath(QLatin1String(kInterpreterName));
    if (QFileInfo(beside).isFile() && QFileInfo(beside).isExecutable()) return beside;
    return QStandardPaths::findExecutable(QLatin1String(kInterpreterName));
}

void CMainWindow::ShowErrorLine(int line) { m_editor->MarkErrorLine(line); }

void CMainWindow::ShowRunState(const QString& state) { m_stateLabel->setText(state); }

void CMainWindow::UpdateRunStatus() {
    m_timeLabel->setText(QStringLiteral("%1 s").arg(double(m_clock.elapsed()) / 1000.0, 0, 'f', 1));
    m_countLabel->setText(SolutionsText(m_tally.Solutions()));
}

// Empties the output and the run status. A run still going belongs to a
// text that is no longer shown: it is stopped and what it still prints is
// dropped, so that none of its error lines can lead into another file.
void CMainWindow::ClearRun() {
    if (m_runner.IsRunning()) {
        m_runDetached = true;
        m_runner.Cancel();
    }
    m_output->ClearOutput();
    m_tally.Reset();
    m_errorShown = false;
    for (QLabel* label : {m_stateLabel, m_timeLabel, m_countLabel}) label->clear();
}

void CMainWindow::ReportRunFailure(const QString& text) {
    m_output->Append(text);
    m_output->Flush();
    ShowRunState(QStringLiteral("failed"));
}

void CMainWindow::SetRunning(bool running) {
    m_run->setEnabled(!running);
    m_stop->setEnabled(running);
    if (running) {
        m_tick.start();
        QApplication::setOverrideCursor(Qt::BusyCursor);
    } else {
        m_tick.stop();
        QApplication::restoreOverrideCursor();
    }
}

void CMainWindow::Run() {
    if (m_runner.IsRunning()) return;
    ClearRun();
    m_clock.start();
    UpdateRunStatus();

    const QString program = InterpreterPath();
    if (program.isEmpty()) {
        ReportRunFailure(QStringLiteral("Error creating process\n"
                                        "%1 was found neither in %2 nor on PATH (%3).\n")
                             .arg(QLatin1String(kInterpreterName),
                                  QDir::toNativeSeparators(m_programDir),
                                  qEnvironmentVariable("PATH")));
        return;
    }
    if (!WriteRunFile()) return;

    m_runDetached = false;
    SetRunning(true);
    ShowRunState(QStringLiteral("running"));
    QStringList arguments{QLatin1String(kRunFileName)};
    if (m_fast->isChecked()) arguments.prepend(QStringLiteral("--fast"));
    m_runner.Start(program, arguments, RunDirectory());
}

// The run file is UTF-8 with a byte-order mark, so the interpreter reads it
// as UTF-8 whatever characters it holds; it is written in full or not at
// all, so a failed write never lets it run on an older file. Each window has
// a directory of its own, so two windows never run each other's text.
bool CMainWindow::WriteRunFile() {
    const QString runFile = QDir(RunDirectory()).filePath(QLatin1String(kRunFileName));
    QString error = m_runDir.isValid() ? QString() : m_runDir.errorString();
    CTextFormat format;
    format.utf8Bom = true;
    if (error.isEmpty() && WriteTextFile(runFile, EditorText(), format, &error)) return true;
    ReportRunFailure(
        QStringLiteral("Error writing %1\n%2\n").arg(QDir::toNativeSeparators(runFile), error));
    return false;
}

void CMainWindow::Stop() { m_runner.Cancel(); }

void CMainWindow::OnRunOutput(const QString& text) {
    if (m_runDetached) return;
    m_tally.Feed(text);
    m_output->Append(text);
    ShowFirstError();
}

void CMainWindow::OnRunNotice(const QString& text) {
    if (!m_runDetached) m_output->Append(text);
}

// The first error line is marked as soon as it has arrived.
void CMainWindow::ShowFirstError() {
    if (m_errorShown || m_tally.FirstErrorLine() == 0) return;
    m_errorShown = true;
    ShowErrorLine(m_tally.FirstErrorLine());
}

void CMainWindow::OnRunFinished() {
    SetRunning(false);
    if (m_runDetached) {
        m_runDetached = false;
        return;
    }
    m_tally.Finish();
    ShowFirstError();
    m_output->Flush();
    UpdateRunStatus();
    switch (m_runner.LastEnd()) {
        case CRunner::End::Finished:
            ShowRunState(QStringLiteral("finished"));
            break;
        case CRunner::End::Stopped:
            ShowRunState(QStringLiteral("stopped"));
            break;
        case CRunner::End::Failed:
        case CRunner::End::None:
            if (m_tally.Errors() > 0)
                ShowRunState(m_tally.Errors() == 1
                                 ? QStringLiteral("failed (1 error)")
                                 : QStringLiteral("failed (%1 errors)").arg(m_tally.Errors()));
            else if (m_runner.ExitCode() != 0)
                ShowRunState(QStringLiteral("failed (exit status %1)").arg(m_runner.ExitCode()));
            else
                ShowRunState(QStringLiteral("failed"));
            break;
    }
}
