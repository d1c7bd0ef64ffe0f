// CDiagnostic: reading the interpreter's JSON diagnostics, their readable
// form, and the places output lines refer to.
#include "gui/diagnostic.h"

#include "gui/run_tally.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

// Longer lines are shown as they arrive, whatever they start with.
constexpr qsizetype kMaxDiagnosticLine = 1 << 16;

QString SeverityName(CDiagnostic::Severity severity) {
    return severity == CDiagnostic::Severity::Error ? QStringLiteral("error")
                                                    : QStringLiteral("warning");
}

// A positive whole number from JSON, else 0.
int Positive(const QJsonValue& value) {
    const double number = value.toDouble(0);
    return number >= 1 && number <= 1e9 && number == int(number) ? int(number) : 0;
}

bool MayBeDiagnostic(QStringView line) { return line.trimmed().startsWith(u'{'); }

}  // namespace

QString CDiagnostic::DisplayText() const {
    QString text = QString::number(line);
    if (column > 0) text += QLatin1Char(':') + QString::number(column);
    text += QStringLiteral(": %1: %2\n").arg(SeverityName(severity), message);
    for (const QString& hint : hints) text += QStringLiteral("    hint: %1\n").arg(hint);
    return text;
}

QString CDiagnostic::Description() const {
    QString text = QStringLiteral("%1: %2").arg(SeverityName(severity), message);
    for (const QString& hint : hints) text += QStringLiteral("\nhint: %1").arg(hint);
    return text;
}

bool ParseDiagnostic(const QString& line, CDiagnostic* diagnostic) {
    if (!MayBeDiagnostic(line)) return false;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) return false;
    const QJsonObject object = document.object();
    const QString severity = object.value(QLatin1String("severity")).toString();
    CDiagnostic read;
    if (severity == QLatin1String("warning"))
        read.severity = CDiagnostic::Severity::Warning;
    else if (severity != QLatin1String("error"))
        return false;
    read.line = Positive(object.value(QLatin1String("line")));
    if (read.line == 0) return false;
    read.column = Positive(object.value(QLatin1String("column")));
    read.endColumn = Positive(object.value(QLatin1String("endColumn")));
    // A range that ends before it starts says nothing about its end.
    if (read.endColumn <= read.column) read.endColumn = 0;
    read.message = object.value(QLatin1String("message")).toString();
    for (const QJsonValue& hint : object.value(QLatin1String("hints")).toArray())
        if (hint.isString()) read.hints << hint.toString();
    read.code = object.value(QLatin1String("code")).toString();
    *diagnostic = read;
    return true;
}

CDiagnosticFilter::CPiece CDiagnosticFilter::Feed(const QString& text) {
    CPiece piece;
    qsizetype start = 0;
    for (qsizetype end = text.indexOf(QLatin1Char('\n')); end >= 0;
         start = end + 1, end = text.indexOf(QLatin1Char('\n'), start)) {
        const QStringView segment = QStringView(text).mid(start, end - start + 1);
        if (m_passing) {
            piece.output += segment;
            piece.display += segment;
            m_passing = false;
        } else {
            m_partial += segment;
            TakeLine(m_partial, &piece);
            m_partial.clear();
        }
    }
    const QStringView rest = QStringView(text).mid(start);
    if (rest.isEmpty()) return piece;
    if (!m_passing) {
        m_partial += rest;
        // The start of a line goes on at once, unless it may be a diagnostic;
        // a line too long for one is not held back either.
        if (MayBeDiagnostic(m_partial) && m_partial.size() <= kMaxDiagnosticLine) return piece;
        m_passing = true;
        piece.output += m_partial;
        piece.display += m_partial;
        m_partial.clear();
        return piece;
    }
    piece.output += rest;
    piece.display += rest;
    return piece;
}

CDiagnosticFilter::CPiece CDiagnosticFilter::Finish() {
    CPiece piece;
    if (!m_partial.isEmpty()) TakeLine(m_partial, &piece);
    m_partial.clear();
    m_passing = false;
    return piece;
}

// `line` is one whole line, with its '\n' unless it is the last one.
void CDiagnosticFilter::TakeLine(const QString& line, CPiece* piece) {
    CDiagnostic diagnostic;
    if (ParseDiagnostic(line.endsWith(QLatin1Char('\n')) ? line.chopped(1) : line, &diagnostic)) {
        piece->display += diagnostic.DisplayText();
        m_diagnostics << diagnostic;
        return;
    }
    piece->output += line;
    piece->display += line;
}

QList<CDiagnostic> CDiagnosticFilter::TakeNew() {
    const QList<CDiagnostic> fresh = m_diagnostics.mid(m_taken);
    m_taken = m_diagnostics.size();
    return fresh;
}

CSourcePlace OutputLinePlace(const QString& line, const QString& runFile) {
    if (const int number = ErrorLineNumber(line)) return {number, 0, true};
    static const QRegularExpression kDiagnostic(
        QStringLiteral("^(\\d{1,9})(?::(\\d{1,9}))?: (?:error|warning): "));
    if (const QRegularExpressionMatch match = kDiagnostic.match(line); match.hasMatch())
        return {match.captured(1).toInt(), match.captured(2).toInt(), true};
    if (runFile.isEmpty() || !line.startsWith(runFile + QLatin1Char(':'))) return {};
    static const QRegularExpression kReference(QStringLiteral("^(\\d{1,9})(?::(\\d{1,9}))?: "));
    const QRegularExpressionMatch match =
        kReference.match(QStringView(line).mid(runFile.size() + 1));
    if (!match.hasMatch()) return {};
    return {match.captured(1).toInt(), match.captured(2).toInt(), false};
}
