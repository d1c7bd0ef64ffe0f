// CRunTally: error lines and solution lines counted from the output.
#include "gui/run_tally.h"

namespace {

// The interpreter prints this line before the search; every line after it
// is a solution, except the interpreter's notes on standard error.
constexpr char16_t kSearchingLine[] = u"正在搜索……";
constexpr char16_t kErrorMark[] = u" 行: ";
constexpr char kNotePrefix[] = "tovik: ";

}  // namespace

int ErrorLineNumber(const QString& line) {
    const qsizetype mark = line.indexOf(QStringView(kErrorMark));
    if (mark <= 0 || mark > 9) return 0;
    int number = 0;
    for (qsizetype i = 0; i < mark; ++i) {
        const char16_t c = line[i].unicode();
        if (c < u'0' || c > u'9') return 0;
        number = number * 10 + (c - u'0');
    }
    return number;
}

void CRunTally::Feed(const QString& text) {
    qsizetype start = 0;
    for (qsizetype end = text.indexOf(QLatin1Char('\n')); end >= 0;
         start = end + 1, end = text.indexOf(QLatin1Char('\n'), start)) {
        if (m_partial.isEmpty()) {
            TakeLine(text.mid(start, end - start));
        } else {
            m_partial += QStringView(text).mid(start, end - start);
            TakeLine(m_partial);
            m_partial.clear();
        }
    }
    m_partial += QStringView(text).mid(start);
}

void CRunTally::Finish() {
    if (!m_partial.isEmpty()) TakeLine(m_partial);
    m_partial.clear();
}

void CRunTally::TakeLine(const QString& line) {
    if (m_searching) {
        if (!line.startsWith(QLatin1String(kNotePrefix))) ++m_solutions;
    } else if (line == QStringView(kSearchingLine)) {
        m_searching = true;
    } else if (const int number = ErrorLineNumber(line)) {
        if (m_errors++ == 0) m_firstErrorLine = number;
    }
}
