// The puzzle language's tokens for highlighting. The scanner reads bytes,
// every byte from 0x80 up being a letter; on the editor's characters that is
// every character beyond ASCII. Longest match wins, and a keyword wins over
// a name of the same length, so 存在性 and inside are names.
#include "gui/highlighter.h"

#include <QColor>
#include <QFont>
#include <QTextDocument>

namespace {

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

bool IsLetter(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_' || c.unicode() >= 0x80;
}

bool IsKeyword(QStringView word) {
    static const char16_t* const kKeywords[] = {u"in",   u"output", u"属于",  u"存在",
                                                u"任意", u"输出",   u"互不同"};
    for (const char16_t* keyword : kKeywords)
        if (word == QStringView(keyword)) return true;
    return false;
}

// Length of the digit run at `i`.
int Digits(const QString& s, int i) {
    int n = 0;
    while (i + n < s.size() && IsDigit(s[i + n])) ++n;
    return n;
}

// Length of the number at `i`, 0 for none: an optional '-', then digits, or
// digits, '.', digits and an optional exponent, whichever is longer.
int NumberLength(const QString& s, int i) {
    int p = i;
    if (p < s.size() && s[p] == u'-') ++p;
    const int whole = Digits(s, p);
    int length = whole > 0 ? p + whole - i : 0;
    const int point = p + whole;
    if (point < s.size() && s[point] == u'.') {
        const int fraction = Digits(s, point + 1);
        if (fraction > 0) {
            int end = point + 1 + fraction;
            // The exponent counts only when digits follow it.
            if (end < s.size() && (s[end] == u'e' || s[end] == u'E')) {
                int e = end + 1;
                if (e < s.size() && (s[e] == u'+' || s[e] == u'-')) ++e;
                if (const int digits = Digits(s, e)) end = e + digits;
            }
            length = end - i;
        }
    }
    return length;
}

// A block comment whose text starts at `start` (its "/*", or the line's
// start when it began on an earlier line) and is searched for its "*/" from
// `from`. Returns where it ends; left open, it runs to the line's end and
// sets `state`.
int BlockComment(const QString& s, int start, int from, CLineState* state,
                 QList<CTokenSpan>* spans) {
    const qsizetype close = s.indexOf(QStringLiteral("*/"), from);
    const int end = close < 0 ? int(s.size()) : int(close) + 2;
    *state = close < 0 ? CLineState::InComment : CLineState::Normal;
    spans->append({CTokenClass::Comment, start, end - start});
    return end;
}

// A string literal at `i`: it ends at its closing quote or, left open, at
// the line's end.
int StringLiteral(const QString& s, int i, QList<CTokenSpan>* spans) {
    const qsizetype close = s.indexOf(u'"', i + 1);
    const int end = close < 0 ? int(s.size()) : int(close) + 1;
    spans->append({CTokenClass::String, i, end - i});
    return end;
}

// A name or keyword at `i`, which is a letter.
int Word(const QString& s, int i, QList<CTokenSpan>* spans) {
    int end = i + 1;
    while (end < s.size() && (IsLetter(s[end]) || IsDigit(s[end]))) ++end;
    const bool keyword = IsKeyword(QStringView(s).mid(i, end - i));
    spans->append({keyword ? CTokenClass::Keyword : CTokenClass::Name, i, end - i});
    return end;
}

// The token at `i`; returns where the next one may start.
int Token(const QString& s, int i, CLineState* state, QList<CTokenSpan>* spans) {
    const QChar c = s[i];
    const QChar next = i + 1 < s.size() ? s[i + 1] : QChar();
    if (c == u'/' && next == u'/') {
        spans->append({CTokenClass::Comment, i, int(s.size()) - i});
        return int(s.size());
    }
    if (c == u'/' && next == u'*') return BlockComment(s, i, i + 2, state, spans);
    if (c == u'"') return StringLiteral(s, i, spans);
    if (const int length = NumberLength(s, i)) {
        spans->append({CTokenClass::Number, i, length});
        return i + length;
    }
    if (IsLetter(c)) return Word(s, i, spans);
    if (c == u'@' || c == u'#') spans->append({CTokenClass::Keyword, i, 1});
    return i + 1;
}

}  // namespace

QList<CTokenSpan> ScanPuzzleLine(const QString& s, CLineState* state) {
    QList<CTokenSpan> spans;
    int i = *state == CLineState::InComment ? BlockComment(s, 0, 0, state, &spans) : 0;
    while (i < s.size() && *state == CLineState::Normal) i = Token(s, i, state, &spans);
    return spans;
}

CPuzzleHighlighter::CPuzzleHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {}

QTextCharFormat CPuzzleHighlighter::Format(CTokenClass cls) {
    QTextCharFormat format;
    switch (cls) {
        case CTokenClass::Keyword:
            format.setForeground(QColor(0x00, 0x33, 0xB3));
            format.setFontWeight(QFont::Bold);
            break;
        case CTokenClass::Name:
            format.setForeground(QColor(0x87, 0x10, 0x94));
            break;
        case CTokenClass::Number:
            format.setForeground(QColor(0xB0, 0x50, 0x00));
            break;
        case CTokenClass::String:
            format.setForeground(QColor(0x06, 0x7D, 0x17));
            break;
        case CTokenClass::Comment:
            format.setForeground(QColor(0x8C, 0x8C, 0x8C));
            format.setFontItalic(true);
            break;
    }
    return format;
}

void CPuzzleHighlighter::highlightBlock(const QString& text) {
    auto state = previousBlockState() == int(CLineState::InComment) ? CLineState::InComment
                                                                    : CLineState::Normal;
    const QList<CTokenSpan> spans = ScanPuzzleLine(text, &state);
    if (text.size() <= kMaxColouredLine)
        for (const CTokenSpan& span : spans) setFormat(span.start, span.length, Format(span.cls));
    setCurrentBlockState(int(state));
}
