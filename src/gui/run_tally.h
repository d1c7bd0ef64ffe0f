// CRunTally: what one run's output says, read line by line as it arrives:
// the compile errors and their line numbers, and the number of solution
// lines. Fed by the editor window with the interpreter's own output only.
#pragma once

#include <QString>

// The line number of an error line "N 行: message", or 0 for any other line.
int ErrorLineNumber(const QString& line);

class CRunTally {
public:
    void Reset() { *this = CRunTally{}; }

    // Takes the next piece of output; line ends are '\n', and a piece may
    // end inside a line.
    void Feed(const QString& text);
    // The output has ended: a last line without a line end counts too.
    void Finish();

    int Solutions() const { return m_solutions; }
    int Errors() const { return m_errors; }
    // The line of the first error, 0 while there is none.
    int FirstErrorLine() const { return m_firstErrorLine; }

private:
    void TakeLine(const QString& line);

    QString m_partial;
    bool m_searching = false;
    int m_solutions = 0;
    int m_errors = 0;
    int m_firstErrorLine = 0;
};
