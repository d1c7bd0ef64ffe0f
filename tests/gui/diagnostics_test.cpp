// Tests of the interpreter's diagnostics in the editor: reading the JSON
// lines out of the output however it is cut, the places output lines refer
// to, and, with stand-in interpreters, markers on the right line and
// column, Explain's highlighted lines, and older interpreters run as before.
#include "gui/code_editor.h"
#include "gui/main_window.h"
#include "gui/output_pane.h"
#include "test_support.h"

#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBlock>

namespace {

constexpr int kRunTimeoutMs = 20000;

// The interpreter's output with a warning and an error on standard error.
const QString kOutput = QStringLiteral(
    "{a}\n"
    "{\"severity\":\"warning\",\"line\":2,\"column\":3,\"message\":\"unused\",\"code\":\"W5\"}\n"
    "3 行: parse error \n"
    "{\"severity\":\"error\",\"line\":3,\"column\":3,\"endColumn\":5,\"message\":\"unexpected =\","
    "\"hints\":[\"write ==\"]}\n"
    "{\"severity\":\"fatal\",\"line\":1}\n"
    "last");
const QString kShown = QStringLiteral(
    "{a}\n2:3: warning: unused\n3 行: parse error \n3:3: error: unexpected =\n    hint: write ==\n"
    "{\"severity\":\"fatal\",\"line\":1}\nlast");

// A stand-in interpreter: its help mentions `options`; a run prints its
// arguments, an error line and, when asked, the diagnostics above;
// --explain explains that lines 2 and 4 conflict.
QByteArray Interpreter(const QByteArray& options) {
    return "case \"$1\" in\n"
           "--help) echo 'usage: tovik [OPTIONS] PUZZLE " +
           options +
           "'; exit 0;;\n"
           "--explain) printf 'no solution\\n%s:2: N x;\\n%s:4: output {x}\\n' \"$2\" \"$2\";"
           " exit 0;;\nesac\n"
           "echo \"$@\"\n"
           "printf '3 \\350\\241\\214: parse error \\r\\n'\n"
           "[ \"$1\" = --diagnostics=json ] || exit 1\n"
           "echo '{\"severity\":\"warning\",\"line\":2,\"column\":3,\"message\":\"unused\"}' >&2\n"
           "echo '{\"severity\":\"error\",\"line\":3,\"column\":3,\"endColumn\":5,"
           "\"message\":\"unexpected =\",\"hints\":[\"write ==\"]}' >&2\nexit 1";
}

// Runs `action` and waits for the run to end.
bool RunAction(const CMainWindow& window, const char* action) {
    window.findChild<QAction*>(QLatin1String(action))->trigger();
    return QTest::qWaitFor([&] { return !window.Runner().IsRunning(); }, kRunTimeoutMs);
}

}  // namespace

class TestDiagnostics : public QObject {
    Q_OBJECT

private slots:
    void filterTakesTheDiagnosticsOut() {
        // However the output is cut into two pieces, the same lines are
        // shown and the same diagnostics read; lines that only look like
        // JSON pass.
        for (int cut = 0; cut <= kOutput.size(); ++cut) {
            CDiagnosticFilter filter;
            const CDiagnosticFilter::CPiece first = filter.Feed(kOutput.left(cut));
            const CDiagnosticFilter::CPiece second = filter.Feed(kOutput.mid(cut));
            const CDiagnosticFilter::CPiece last = filter.Finish();
            QCOMPARE(first.display + second.display + last.display, kShown);
            QCOMPARE(first.output + second.output + last.output,
                     QStringLiteral("{a}\n3 行: parse error \n{\"severity\":\"fatal\",\"line\":1}\n"
                                    "last"));
            QCOMPARE(filter.Diagnostics().size(), 2);
        }
        CDiagnosticFilter filter;
        filter.Feed(kOutput);
        const CDiagnostic warning = filter.Diagnostics()[0];
        QVERIFY(warning.severity == CDiagnostic::Severity::Warning);
        QCOMPARE(std::tuple(warning.line, warning.column, warning.endColumn, warning.code),
                 std::tuple(2, 3, 0, QStringLiteral("W5")));
    }

    void placesOfOutputLines_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("isError");
        QTest::newRow("error line") << QStringLiteral("12 行: parse error ") << 12 << 0 << true;
        QTest::newRow("diagnostic") << QStringLiteral("4:7: error: x") << 4 << 7 << true;
        QTest::newRow("no column") << QStringLiteral("4: warning: x") << 4 << 0 << true;
        QTest::newRow("reference") << QStringLiteral("tmp.in.txt:5: x > 3;") << 5 << 0 << false;
        QTest::newRow("other file") << QStringLiteral("a.txt:5: x") << 0 << 0 << false;
        QTest::newRow("solution") << QStringLiteral("4:7: 2") << 0 << 0 << false;
    }

    void placesOfOutputLines() {
        QFETCH(QString, line);
        QFETCH(int, number);
        QFETCH(int, column);
        QFETCH(bool, isError);
        const CSourcePlace place = OutputLinePlace(line, QStringLiteral("tmp.in.txt"));
        QCOMPARE(std::tuple(place.line, place.column, place.isError),
                 std::tuple(number, column, isError));
    }

    void runMarksAndExplainHighlights_data() {
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<QString>("arguments");
        QTest::newRow("new") << QByteArray("--diagnostics=json --explain")
                             << QStringLiteral("--diagnostics=json tmp.in.txt");
        QTest::newRow("old") << QByteArray("--fast") << QStringLiteral("tmp.in.txt");
    }

    void runMarksAndExplainHighlights() {
        // An interpreter with the options is asked for JSON diagnostics: the
        // warning and the error are marked on their line and columns, the
        // cursor goes to the error's column and the status bar says what is
        // wrong there; editing a line takes its marker away. Explain
        // highlights the lines of the conflict until the next edit. An older
        // interpreter is run as before, and Explain says why it is off.
        QFETCH(QByteArray, options);
        QFETCH(QString, arguments);
        const bool json = arguments.startsWith(QLatin1String("--diag"));
        QTemporaryDir dir;
        QVERIFY(WriteScript(dir.filePath(QStringLiteral("tovik")), Interpreter(options)));
        CMainWindow window(dir.path());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        CCodeEditor* editor = window.Editor();
        editor->setPlainText(QStringLiteral("N{}={1};\nN xyz;\nx = = 1;\noutput {x}"));
        QVERIFY(RunAction(window, "run"));

        const QString output = window.OutputPane()->toPlainText();
        QVERIFY2(output.startsWith(arguments + QStringLiteral("\n3 行: parse error \n")),
                 qPrintable(output));
        QCOMPARE(output.contains(QLatin1String("3:3: error: unexpected =\n    hint: write ==\n")),
                 json);
        QVERIFY(!output.contains(QLatin1String("\"severity\"")));
        const int line2 = editor->document()->findBlockByNumber(1).position();
        const int line3 = editor->document()->findBlockByNumber(2).position();
        using Ranges = QList<QPair<int, int>>;
        QCOMPARE(editor->DiagnosticRanges(),
                 (json ? Ranges{{line2 + 2, line2 + 5}, {line3 + 2, line3 + 4}} : Ranges{}));
        QCOMPARE(editor->textCursor().position(), json ? line3 + 2 : line3);
        QCOMPARE(editor->DiagnosticsOn(3).size(), json ? 1 : 0);
        QAction* explain = window.findChild<QAction*>(QStringLiteral("explain"));
        QCOMPARE(explain->isEnabled(), json);
        QCOMPARE(window.statusBar()->currentMessage(),
                 json ? QStringLiteral("error: unexpected =; hint: write ==")
                      : QStringLiteral("Explain is off: this tovik has no --explain option"));
        QVERIFY(explain->toolTip().endsWith(json ? "(Ctrl+E)" : "/tovik)"));

        QTest::keyClick(editor, Qt::Key_Up);
        QTest::keyClicks(editor, QStringLiteral("z"));
        QCOMPARE(editor->DiagnosticRanges().size(), json ? 1 : 0);
        QCOMPARE(editor->DiagnosticsOn(3).size(), json ? 1 : 0);

        if (!json) return;
        QVERIFY(RunAction(window, "explain"));
        QCOMPARE(editor->HighlightedLines(), QList<int>({2, 4}));
        QVERIFY(editor->DiagnosticRanges().isEmpty());
        QTest::keyClicks(editor, QStringLiteral("z"));
        QVERIFY(editor->HighlightedLines().isEmpty());
    }
};

QTEST_MAIN(TestDiagnostics)
#include "diagnostics_test.moc"
