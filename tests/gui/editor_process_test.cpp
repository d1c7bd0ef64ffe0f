// Tests of TovikWin as a whole program: its command line, and a run whose
// editor is killed. The second starts this test program again as an editor
// (see main), which opens the puzzle named on its command line and runs it.
#include "gui/editor_main.h"
#include "gui/main_window.h"
#include "test_support.h"

#include <QDirIterator>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <csignal>

namespace {

// The pid of the interpreter `parent` runs on its run file, 0 when there is
// none. The editor also starts the interpreter briefly with --help to learn
// its options; that child must not be taken for the run.
qint64 RunningInterpreter(qint64 parent) {
    QDirIterator proc(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (proc.hasNext()) {
        const QString dir = proc.next();
        // stat: "pid (name) state ppid ..."
        const QByteArray stat = ReadBytes(dir + QStringLiteral("/stat"));
        const qsizetype close = stat.lastIndexOf(')');
        const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
        if (close > 0 && fields.size() > 1 && fields[1].toLongLong() == parent &&
            stat.mid(stat.indexOf('(') + 1, close - stat.indexOf('(') - 1) == "tovik" &&
            ReadBytes(dir + QStringLiteral("/cmdline")).contains("tmp.in.txt"))
            return stat.left(stat.indexOf(' ')).toLongLong();
    }
    return 0;
}

bool Ended(qint64 pid) {
    const QByteArray stat = ReadBytes(QStringLiteral("/proc/%1/stat").arg(pid));
    return stat.isEmpty() || stat.contains(") Z ");
}

}  // namespace

class TestEditorProcess : public QObject {
    Q_OBJECT

private slots:
    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output");  // a pattern for standard output and error
        QTest::newRow("version") << QStringList{"--version"} << 0
                                 << QStringLiteral("^TovikWin \\d+\\.\\d+\\.\\d+\\n$");
        QTest::newRow("version after a file")
            << QStringList{"x.tvk", "--version"} << 0 << QStringLiteral("^TovikWin \\d");
        QTest::newRow("help") << QStringList{"-h"} << 0
                              << QStringLiteral("^Usage: TovikWin \\[OPTIONS\\] \\[FILE\\]\\n");
        QTest::newRow("bad option") << QStringList{"--bogus", "x.tvk"} << 1
                                    << QStringLiteral("TovikWin: unknown option --bogus\\n$");
    }

    void commandLine() {
        // --help and --version answer without a display, as in tovik.
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, output);
        QProcess editor;
        editor.setProcessChannelMode(QProcess::MergedChannels);
        editor.start(QStringLiteral(TOVIKWIN), arguments);
        QVERIFY(editor.waitForFinished(10000));
        const QString text = QString::fromLocal8Bit(editor.readAll());
        QCOMPARE(editor.exitCode(), status);
        QVERIFY2(QRegularExpression(output).match(text).hasMatch(), qPrintable(text));
    }

    void killedEditorTakesItsChild() {
        // The editor opens the puzzle from its command line and runs it; once
        // the interpreter runs, the editor is killed, and so is the
        // interpreter, within a second. The puzzle has no solution and takes
        // long to find out, so the interpreter never writes to the broken
        // pipe that would end it anyway.
        QTemporaryDir dir;
        const QString puzzle = dir.filePath(QStringLiteral("long.tvk"));
        QVERIFY(WriteBytes(puzzle, QStringLiteral("N{}={[0,9]};\nN a,b,c,d,e,f,g,h,i,j,k;\n"
                                                  "互不同(a,b,c,d,e,f,g,h,i,j,k);\noutput {a}\n")
                                       .toUtf8()));
        QProcess editor;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TOVIK_EDITOR_CHILD"), QStringLiteral("1"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
        editor.setProcessEnvironment(environment);
        editor.start(QCoreApplication::applicationFilePath(), {puzzle});
        QVERIFY(editor.waitForStarted());
        qint64 interpreter = 0;
        // A failed test leaves no interpreter behind either.
        const auto cleanup = qScopeGuard([&] {
            if (interpreter > 0 && !Ended(interpreter)) ::kill(pid_t(interpreter), SIGKILL);
        });
        QTRY_VERIFY_WITH_TIMEOUT((interpreter = RunningInterpreter(editor.processId())) > 0, 20000);
        ::kill(pid_t(editor.processId()), SIGKILL);
        QVERIFY(editor.waitForFinished(5000));
        QTRY_VERIFY_WITH_TIMEOUT(Ended(interpreter), 1000);
    }
};

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsSet("TOVIK_EDITOR_CHILD"))
        return EditorMain(argc, argv, [](CMainWindow& window) { window.Run(); });
    QCoreApplication app(argc, argv);
    TestEditorProcess test;
    return QTest::qExec(&test, argc, argv);
}

#include "editor_process_test.moc"
