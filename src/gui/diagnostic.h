// CDiagnostic: one error or warning of the interpreter with its place in the
// puzzle, read from the one-object-per-line JSON the interpreter writes on
// standard error when asked with --diagnostics=json; CDiagnosticFilter
// takes those lines out of a run's output and puts readable lines in their
// place. Also the places that output lines refer to, for the double-click
// in the output pane. Used by the editor window and the output pane.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct CDiagnostic {
    enum class Severity { Error, Warning };
    Severity severity = Severity::Error;
    int line = 0;       // 1-based
    int column = 0;     // 1-based, in characters; 0 when none was given
    int endColumn = 0;  // the first column after the range; 0 when none was given
    QString message;
    QStringList hints;
    QString code;

    // "LINE:COLUMN: error: MESSAGE" ("LINE: ..." without a column), then one
    // indented "hint: ..." line per hint; each line ends with '\n'.
    QString DisplayText() const;
    // The message and its hints, one per line, for tooltips and the status bar.
    QString Description() const;
};

// Reads one line of JSON diagnostics. False for anything else, including
// objects without a severity of "error" or "warning" or without a line.
bool ParseDiagnostic(const QString& line, CDiagnostic* diagnostic);

// Takes the JSON diagnostic lines out of a run's output as it arrives (line
// ends '\n', pieces that may end inside a line) and gathers them. Other
// lines pass unchanged; only a line that may still become a diagnostic is
// held back until its end arrives.
class CDiagnosticFilter {
public:
    void Reset() { *this = CDiagnosticFilter{}; }
    // The output without the diagnostic lines, and the text to show, where
    // each diagnostic line became its DisplayText.
    struct CPiece {
        QString output;
        QString display;
    };
    CPiece Feed(const QString& text);
    // The output has ended: a held-back line without an end is passed on.
    CPiece Finish();

    // The diagnostics read since the last Reset, in the order of the output.
    const QList<CDiagnostic>& Diagnostics() const { return m_diagnostics; }
    // Takes the diagnostics read since the last call.
    QList<CDiagnostic> TakeNew();

private:
    void TakeLine(const QString& line, CPiece* piece);

    QString m_partial;       // the start of a line held back: it begins with '{'
    bool m_passing = false;  // the start of the current line was passed on
    QList<CDiagnostic> m_diagnostics;
    qsizetype m_taken = 0;
};

// The place in the puzzle an output line refers to: an error line
// "N 行: ...", a diagnostic "LINE:COLUMN: error: ..." or "LINE: warning:
// ...", or a reference "RUNFILE:LINE: ..." to the file the run was given.
struct CSourcePlace {
    int line = 0;          // 0: the line refers to no place
    int column = 0;        // 0: the whole line
    bool isError = false;  // an error or warning, rather than a reference
};
CSourcePlace OutputLinePlace(const QString& line, const QString& runFile);
