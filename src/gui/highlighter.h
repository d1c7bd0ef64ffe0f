// Syntax highlighting of puzzle text in the editor: the token classes of the
// puzzle language found line by line, following the interpreter's scanner
// rules, and the highlighter that colours the editor's document with them.
#pragma once

#include <QList>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

enum class CTokenClass { Keyword, Name, Number, String, Comment };

struct CTokenSpan {
    CTokenClass cls;
    int start;
    int length;

    bool operator==(const CTokenSpan&) const = default;
};

// Whether a line starts or ends inside a block comment.
enum class CLineState { Normal = 0, InComment = 1 };

// The highlighted tokens of one line, in order; operators and blanks are
// not listed. `state` is the state at the start of the line and becomes the
// state at its end. A block comment left open runs to the end of the text.
QList<CTokenSpan> ScanPuzzleLine(const QString& line, CLineState* state);

class CPuzzleHighlighter : public QSyntaxHighlighter {
    Q_OBJECT

public:
    // Longer lines are not coloured: the formats of their many tokens would
    // make every key press in them take seconds.
    static constexpr int kMaxColouredLine = 20000;

    explicit CPuzzleHighlighter(QTextDocument* document);

    static QTextCharFormat Format(CTokenClass cls);

protected:
    void highlightBlock(const QString& text) override;
};
