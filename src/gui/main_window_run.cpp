// CMainWindow: Run, Explain and Stop, the run file in the window's private
// directory, the output of a run with its diagnostics shown in the editor,
// and the run's status in the status bar.
#include "gui/main_window.h"

#include "gui/code_editor.h"
#include "gui/output_pane.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTextBlock>

namespace {

constexpr char kInterpreterName[] = "tovik";
constexpr char kRunFileName[] = "tmp.in.txt";

// How much of an explanation is searched for the lines it refers to.
constexpr qsizetype kMaxExplanation = 1 << 20;

constexpr char kExplainTip[] =
    "Explain why the puzzle has no solution or how its solutions differ (%1)";
// Said in the status bar, and with the interpreter's path in the tooltip.
constexpr char kNoExplainText[] = "Explain is off: this tovik has no --explain option";

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

void CMainWindow::OnPlaceActivated(const CSourcePlace& place) {
    ShowPlace(place);
    m_editor->setFocus();
}

// Puts the editor's cursor on the place an output line names: an error's
// line is marked, a reference is only shown.
void CMainWindow::ShowPlace(const CSourcePlace& place) {
    if (place.isError)
        ShowErrorLine(place.line);
    else
        m_editor->GoToLine(place.line);
    if (place.column > 0) {
        QTextCursor cursor = m_editor->textCursor();
        const int length = cursor.block().length() - 1;
        cursor.setPosition(cursor.block().position() + qMin(place.column - 1, length));
        m_editor->setTextCursor(cursor);
    }
}

// The status bar says what is wrong with the cursor's line, while it is on
// a line with diagnostics.
void CMainWindow::UpdateDiagnosticStatus() {
    QStringList texts;
    for (const CDiagnostic& diagnostic :
         m_editor->DiagnosticsOn(m_editor->textCursor().blockNumber() + 1))
        texts << diagnostic.Description().replace(QLatin1Char('\n'), QStringLiteral("; "));
    const QString text = texts.join(QStringLiteral(" | "));
    if (!text.isEmpty())
        statusBar()->showMessage(text);
    else if (!m_diagnosticStatus.isEmpty() && statusBar()->currentMessage() == m_diagnosticStatus)
        statusBar()->clearMessage();
    m_diagnosticStatus = text;
}

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
    m_diagnostics.Reset();
    m_explanation.clear();
    // What the last run marked in the text is about a text that may have
    // changed since: a new run marks afresh.
    m_editor->ClearErrorLine();
    m_editor->ClearDiagnostics();
    m_editor->ClearHighlightedLines();
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
    m_explain->setEnabled(!running && m_canExplain);
    if (running) {
        m_tick.start();
        QApplication::setOverrideCursor(Qt::BusyCursor);
    } else {
        m_tick.stop();
        QApplication::restoreOverrideCursor();
    }
}

void CMainWindow::Run() { StartRun(false); }

void CMainWindow::Explain() { StartRun(true); }

// Explain is offered while the interpreter has --explain; when it has not,
// the action is disabled and says why, until a later run finds one that has.
// The status bar says so when Explain goes off, not at every run.
bool CMainWindow::CheckExplain(const CInterpreterFeatures& features) {
    const bool wentOff = m_canExplain && !features.explain;
    m_canExplain = features.explain;
    m_explain->setEnabled(m_canExplain && !m_runner.IsRunning());
    const QString program = QDir::toNativeSeparators(InterpreterPath());
    const QString key = m_explain->shortcut().toString(QKeySequence::NativeText);
    m_explain->setToolTip(
        m_canExplain ? QString::fromLatin1(kExplainTip).arg(key)
                     : QStringLiteral("%1 (%2)").arg(QLatin1String(kNoExplainText), program));
    if (wentOff) statusBar()->showMessage(QLatin1String(kNoExplainText));
    return m_canExplain;
}

void CMainWindow::StartRun(bool explain) {
    if (m_runner.IsRunning()) return;
    // Which options the interpreter has decides how it is run; an Explain
    // that cannot be given changes nothing.
    const QString program = InterpreterPath();
    CInterpreterFeatures features;
    if (!program.isEmpty()) {
        features = m_probe.Features(program);
        if (!CheckExplain(features) && explain) return;
    }
    ClearRun();
    m_clock.start();
    UpdateRunStatus();

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
    m_explaining = explain;
    // The explanation is read as text; JSON would make it JSON too.
    m_jsonRun = features.jsonDiagnostics && !explain;
    m_output->SetRunFileName(QLatin1String(kRunFileName));
    SetRunning(true);
    ShowRunState(explain ? QStringLiteral("explaining") : QStringLiteral("running"));
    QStringList arguments{QLatin1String(kRunFileName)};
    if (explain) {
        arguments.prepend(QStringLiteral("--explain"));
    } else {
        if (m_jsonRun) arguments.prepend(QStringLiteral("--diagnostics=json"));
        if (m_fast->isChecked()) arguments.prepend(QStringLiteral("--fast"));
    }
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
    const CDiagnosticFilter::CPiece piece =
        m_jsonRun ? m_diagnostics.Feed(text) : CDiagnosticFilter::CPiece{text, text};
    m_tally.Feed(piece.output);
    m_output->Append(piece.display);
    if (m_explaining && m_explanation.size() < kMaxExplanation) m_explanation += piece.output;
    m_editor->AddDiagnostics(m_diagnostics.TakeNew());
    ShowFirstError();
}

void CMainWindow::OnRunNotice(const QString& text) {
    if (!m_runDetached) m_output->Append(text);
}

// The first error line is marked as soon as it has arrived, and the cursor
// put on the first error's column when the interpreter said which it is.
void CMainWindow::ShowFirstError() {
    const CDiagnostic* first = nullptr;
    for (const CDiagnostic& diagnostic : m_diagnostics.Diagnostics())
        if (diagnostic.severity == CDiagnostic::Severity::Error) {
            first = &diagnostic;
            break;
        }
    if (m_errorShown) {
        // The error line came before its diagnostic: the cursor, where the
        // marking left it, moves on to the column.
        if (first && first->column > 0 && m_editor->ErrorLine() == first->line &&
            m_editor->textCursor().atBlockStart())
            ShowPlace({first->line, first->column, true});
        return;
    }
    if (first) {
        m_errorShown = true;
        ShowPlace({first->line, first->column, true});
    } else if (m_tally.FirstErrorLine() != 0) {
        m_errorShown = true;
        ShowErrorLine(m_tally.FirstErrorLine());
    }
}

// The lines an explanation refers to in the run file are those of the
// conditions that cannot hold together.
void CMainWindow::HighlightExplainedLines() {
    QList<int> lines;
    for (const QString& line : m_explanation.split(QLatin1Char('\n'))) {
        const CSourcePlace place = OutputLinePlace(line, QLatin1String(kRunFileName));
        if (place.line > 0 && !place.isError && !lines.contains(place.line)) lines << place.line;
    }
    m_editor->HighlightLines(lines);
}

void CMainWindow::OnRunFinished() {
    SetRunning(false);
    if (m_runDetached) {
        m_runDetached = false;
        return;
    }
    if (m_jsonRun) {
        const CDiagnosticFilter::CPiece piece = m_diagnostics.Finish();
        m_tally.Feed(piece.output);
        m_output->Append(piece.display);
        m_editor->AddDiagnostics(m_diagnostics.TakeNew());
    }
    m_tally.Finish();
    ShowFirstError();
    m_output->Flush();
    UpdateRunStatus();
    if (m_explaining) {
        HighlightExplainedLines();
        // The explanation's lines are no solutions: there is no count to show.
        m_countLabel->clear();
    }
    switch (m_runner.LastEnd()) {
        case CRunner::End::Finished:
            ShowRunState(m_explaining ? QStringLiteral("explained") : QStringLiteral("finished"));
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
