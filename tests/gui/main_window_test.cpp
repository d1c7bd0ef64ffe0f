// Tests of the editor window: menus and keys, the question before unsaved
// text is discarded, Open and Save with their encodings and line ends, error
// lines, Go to Line, find and replace, settings, and Run with stand-in
// interpreters and, when it has been built, the real interpreter's Stop.
#include "gui/main_window.h"
#include "gui/code_editor.h"
#include "gui/output_pane.h"
#include "gui/splitter.h"
#include "test_support.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QToolButton>

namespace {

constexpr int kRunTimeoutMs = 20000;

// 正在编译……\r\n in UTF-8, as the interpreter prints it for the editor.
constexpr char kCompilingLine[] =
    "printf "
    "'\\346\\255\\243\\345\\234\\250\\347\\274\\226\\350\\257\\221\\342\\200\\246\\342\\200\\246\\r"
    "\\n'";

QStringList Texts(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* action : actions)
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

QAction* Action(const CMainWindow& window, const char* name) {
    return window.findChild<QAction*>(QLatin1String(name));
}

QMenu* Menu(const CMainWindow& window, const char* name) {
    return window.findChild<QMenu*>(QLatin1String(name));
}

QString Status(const CMainWindow& window, const char* name) {
    if (auto* label = window.findChild<QLabel*>(QLatin1String(name))) return label->text();
    return window.findChild<QToolButton*>(QLatin1String(name))->text();
}

// Chooses `choice` from the status bar button `name`.
void Choose(const CMainWindow& window, const char* name, const QString& choice) {
    for (QAction* action : window.findChild<QToolButton*>(QLatin1String(name))->menu()->actions())
        if (action->text() == choice) action->trigger();
}

bool Show(CMainWindow& window) {
    window.show();
    return QTest::qWaitForWindowActive(&window);
}

// Types `text` at the editor's cursor, '\n' as the Enter key.
void Type(CMainWindow& window, const QString& text) {
    for (const QChar c : text) {
        if (c == u'\n') {
            QTest::keyClick(window.Editor(), Qt::Key_Return);
            continue;
        }
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(window.Editor(), &key);
    }
}

// Runs the editor's text and waits for the run to end.
bool Run(const CMainWindow& window) {
    Action(window, "run")->trigger();
    return QTest::qWaitFor([&] { return !window.Runner().IsRunning(); }, kRunTimeoutMs) &&
           Action(window, "run")->isEnabled() && !Action(window, "stop")->isEnabled();
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_serial = 0;

    // A fresh program directory, with a space in its name, holding a
    // stand-in interpreter with `body` (none when `body` is empty) that
    // knows no options.
    QString ProgramDir(const QByteArray& body) {
        const QString path = m_dir.filePath(QStringLiteral("program dir %1").arg(++m_serial));
        QDir().mkpath(path);
        if (!body.isEmpty())
            WriteScript(QDir(path).filePath(QStringLiteral("tovik")),
                        "[ \"$1\" = --help ] && exit 0\n" + body);
        return path;
    }

    // A program directory with a link to the real interpreter, or empty.
    QString RealProgramDir() {
#ifdef TOVIK_INTERPRETER
        const QString program = ProgramDir({});
        if (QFile::link(QStringLiteral(TOVIK_INTERPRETER),
                        QDir(program).filePath(QStringLiteral("tovik"))))
            return program;
#endif
        return {};
    }

    QString File(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        WriteBytes(path, bytes);
        return path;
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    }

    void init() { QSettings(QStringLiteral("Tovik"), QStringLiteral("TovikWin")).clear(); }

    void menusAndKeys() {
        CMainWindow window(ProgramDir({}));
        QCOMPARE(window.windowTitle(), QStringLiteral("TovikWin[*]"));
        QCOMPARE(Texts(window.menuBar()->actions()),
                 (QStringList{"&File", "&Edit", "&View", "E&xamples", "&Help"}));
        QCOMPARE(Texts(Menu(window, "fileMenu")->actions()),
                 (QStringList{"&New", "&Open...", "Open R&ecent", "&Save", "Save &As...",
                              "Save O&utput As...", "-", "&Print...", "-", "&Run", "&Stop",
                              "Exp&lain", "&Fast search", "-", "E&xit"}));
        QCOMPARE(Texts(Menu(window, "editMenu")->actions()),
                 (QStringList{"&Undo", "&Redo", "-", "Cu&t", "&Copy", "&Paste", "Select &All", "-",
                              "&Find...", "Find &Next", "Find Pre&vious", "R&eplace...",
                              "&Go to Line..."}));
        QCOMPARE(Texts(Menu(window, "helpMenu")->actions()),
                 (QStringList{"&Language Guide", "-", "&About TovikWin"}));
        QVERIFY(Menu(window, "guideExamplesMenu")->actions().size() > 5);
        const QStringList keys{"run F5 Run (F5)",
                               "stop Esc Stop (Esc)",
                               "undo Ctrl+Z Alt+Backspace Undo (Ctrl+Z)",
                               "redo Ctrl+Y Ctrl+Shift+Z Redo (Ctrl+Y)",
                               "copy Ctrl+C Ctrl+Ins Copy (Ctrl+C)",
                               "replace Ctrl+H Replace (Ctrl+H)"};
        for (const QString& row : keys) {
            QAction* action = Action(window, qPrintable(row.section(QLatin1Char(' '), 0, 0)));
            QString found = action->objectName();
            for (const QKeySequence& key : action->shortcuts()) found += ' ' + key.toString();
            QCOMPARE(found + ' ' + action->toolTip(), row);
        }
    }

    void splitterKeepsItsFraction() {
        CMainWindow window(ProgramDir({}));
        window.resize(640, 480);
        QVERIFY(Show(window));
        CProportionalSplitter* splitter = window.Splitter();
        QCOMPARE(splitter->sizes().front(), splitter->height() * 3 / 4);
        window.resize(640, 900);
        QTRY_VERIFY(qAbs(splitter->sizes().front() - splitter->height() * 3 / 4) <= 1);
    }

    void discardingActionsAsk_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("answer");
        for (const char* action : {"new", "open", "example", "recent", "drop", "close", "exit"})
            for (const char* answer : {"Cancel", "Discard", "Save"})
                QTest::addRow("%s, %s", action, answer) << action << answer;
    }

    void discardingActionsAsk() {
        // Cancel leaves text, file, title and output as they were; Discard
        // and Save (which writes first) let the action replace the text and
        // the output of the earlier file.
        QFETCH(QString, action);
        QFETCH(QString, answer);
        const QString other = File(QStringLiteral("other.tvk"), "b;\n");
        const QString mine = File(QStringLiteral("mine.tvk"), "a;\n");
        CMainWindow window(ProgramDir({}));
        QVERIFY(Show(window));
        QVERIFY(window.LoadFile(other) && window.LoadFile(mine));
        window.Editor()->moveCursor(QTextCursor::End);
        Type(window, QStringLiteral("x"));
        window.OutputPane()->Append(QStringLiteral("2 行: parse error \n"));
        window.OutputPane()->Flush();

        QStringList answers{answer};
        if (action == QLatin1String("open")) answers.prepend(other);
        CDialogAnswers dialogs(answers);
        if (action == QLatin1String("example")) {
            Menu(window, "examplesMenu")->actions().front()->trigger();
        } else if (action == QLatin1String("recent")) {
            Menu(window, "recentMenu")->actions().at(1)->trigger();
        } else if (action == QLatin1String("drop")) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(other)});
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
            QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(&window, &enter);
            QApplication::sendEvent(&window, &drop);
        } else if (action == QLatin1String("close")) {
            window.close();
        } else {
            Action(window, qPrintable(action))->trigger();
        }
        QTRY_VERIFY(dialogs.Done());
        QCOMPARE(dialogs.texts, QStringList{"Save changes to mine.tvk?"});
        QCOMPARE(ReadBytes(mine), QByteArray(answer == QLatin1String("Save") ? "a;\nx" : "a;\n"));
        const bool closing = action == QLatin1String("close") || action == QLatin1String("exit");
        if (answer == QLatin1String("Cancel")) {
            QCOMPARE(window.Editor()->toPlainText(), QStringLiteral("a;\nx"));
            QCOMPARE(window.FilePath(), mine);
            QCOMPARE(window.windowTitle(), QStringLiteral("TovikWin - mine.tvk (GBK)[*]"));
            QVERIFY(window.isWindowModified() && window.isVisible());
            QVERIFY(!window.OutputPane()->toPlainText().isEmpty());
            return;
        }
        QCOMPARE(window.isVisible(), !closing);
        if (closing) return;
        QVERIFY(!window.isWindowModified());
        const bool replaced = action != QLatin1String("new") && action != QLatin1String("example");
        QCOMPARE(window.FilePath(), replaced ? other : QString());
        QVERIFY(window.OutputPane()->toPlainText().isEmpty());
    }

    void modifiedMarkFollowsTheText() {
        // The mark comes with the first edit and goes with a save or with
        // undoing back to the saved text.
        const QString path = File(QStringLiteral("mark.tvk"), "a;\n");
        CMainWindow window(ProgramDir({}));
        QVERIFY(window.LoadFile(path));
        QVERIFY(!window.isWindowModified());
        Type(window, QStringLiteral("x"));
        QVERIFY(window.isWindowModified());
        window.Editor()->undo();
        QVERIFY(!window.isWindowModified());
        Type(window, QStringLiteral("y"));
        QVERIFY(window.SaveFile(path));
        QVERIFY(!window.isWindowModified());
    }

    void openEditSave_data() {
        // A file, its encoding, what is typed at the start of its second
        // line ('\n' is Enter), and the file saved after that.
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("edited");
        // 输出 { x }, 答: GBK with CR LF line ends.
        QTest::newRow("GBK") << QByteArray("\xCA\xE4\xB3\xF6 { x }\r\n\xB4\xF0\r\n")
                             << QStringLiteral("GBK") << QStringLiteral("答")
                             << QByteArray("\xCA\xE4\xB3\xF6 { x }\r\n\xB4\xF0\xB4\xF0\r\n");
        QTest::newRow("ASCII is GBK") << QByteArray("x = 1;\ny\n") << QStringLiteral("GBK")
                                      << QStringLiteral("答") << QByteArray("x = 1;\n\xB4\xF0y\n");
        QTest::newRow("UTF-8, no-break space") << QByteArray(
                                                      "\xE7\xAD\x94 a\xC2\xA0"
                                                      "b\nc")
                                               << QStringLiteral("UTF-8") << QStringLiteral("答")
                                               << QByteArray(
                                                      "\xE7\xAD\x94 a\xC2\xA0"
                                                      "b\n\xE7\xAD\x94"
                                                      "c");
        QTest::newRow("UTF-8, mark, mixed line ends")
            << QByteArray("\xEF\xBB\xBFx\r\n\xE7\xAD\x94\ny\rz") << QStringLiteral("UTF-8")
            << QStringLiteral("z") << QByteArray("\xEF\xBB\xBFx\r\nz\xE7\xAD\x94\ny\rz");
        QTest::newRow("CR only") << QByteArray("a\rb\rc\r") << QStringLiteral("GBK")
                                 << QStringLiteral("z") << QByteArray("a\rzb\rc\r");
        QTest::newRow("U+2029 stays")
            << QByteArray("\xE7\xAD\x94\xE2\x80\xA9x\ny\n") << QStringLiteral("UTF-8")
            << QStringLiteral("z") << QByteArray("\xE7\xAD\x94\xE2\x80\xA9zx\ny\n");
        QTest::newRow("new line: most common end")
            << QByteArray("x\r\ny\nz\r\n") << QStringLiteral("GBK") << QStringLiteral("\n")
            << QByteArray("x\r\n\r\ny\nz\r\n");
    }

    void openEditSave() {
        // Save writes the opened file back byte for byte while the text is
        // unchanged; after an edit only the edited line differs.
        QFETCH(QByteArray, bytes);
        QFETCH(QString, encoding);
        QFETCH(QString, typed);
        QFETCH(QByteArray, edited);
        CMainWindow window(ProgramDir({}));
        const QString path = File(QStringLiteral("round trip.tvk"), bytes);
        QVERIFY(window.LoadFile(path));
        QCOMPARE(window.windowTitle(),
                 QStringLiteral("TovikWin - round trip.tvk (%1)[*]").arg(encoding));
        QVERIFY(WriteBytes(path, "overwritten"));
        Action(window, "save")->trigger();
        QCOMPARE(ReadBytes(path), bytes);
        window.Editor()->setTextCursor(
            QTextCursor(window.Editor()->document()->findBlockByNumber(1)));
        Type(window, typed);
        Action(window, "save")->trigger();
        QCOMPARE(ReadBytes(path), edited);
    }

    void encodingAndLineEndsForTheNextSave() {
        // The status bar shows the file's encoding and line ends; a choice
        // there applies to every line at the next save.
        const QString path = File(QStringLiteral("format.tvk"), "a\nb\r\n\xE7\xAD\x94");
        CMainWindow window(ProgramDir({}));
        QVERIFY(window.LoadFile(path));
        QCOMPARE(Status(window, "encoding") + ' ' + Status(window, "lineEnds"),
                 QStringLiteral("UTF-8 Mixed (LF)"));
        Choose(window, "encoding", QStringLiteral("GBK"));
        Choose(window, "lineEnds", QStringLiteral("CR LF"));
        QVERIFY(window.isWindowModified());
        QVERIFY(window.SaveFile(path));
        QCOMPARE(ReadBytes(path), QByteArray("a\r\nb\r\n\xB4\xF0"));
        // New text is UTF-8; a new name gets .tvk.
        Action(window, "new")->trigger();
        Type(window, QStringLiteral("答"));
        CDialogAnswers dialogs({m_dir.filePath(QStringLiteral("fresh"))});
        Action(window, "save")->trigger();
        QCOMPARE(ReadBytes(m_dir.filePath(QStringLiteral("fresh.tvk"))),
                 QByteArray("\xE7\xAD\x94"));
        QCOMPARE(window.windowTitle(), QStringLiteral("TovikWin - fresh.tvk (UTF-8)[*]"));
    }

    void openAndSaveFailuresSaySo() {
        // The message names the file; the text stays.
        CMainWindow window(ProgramDir({}));
        window.Editor()->setPlainText(QStringLiteral("keep me"));
        for (bool save : {false, true}) {
            const QString path =
                m_dir.filePath(QLatin1String(save ? "no such dir/x.tvk" : "none.tvk"));
            CDialogAnswers dialogs({QStringLiteral("OK")});
            QVERIFY(save ? !window.SaveFile(path) : !window.LoadFile(path));
            QVERIFY2(dialogs.texts.value(0).contains(path), qPrintable(dialogs.texts.value(0)));
            QCOMPARE(window.Editor()->toPlainText(), QStringLiteral("keep me"));
        }
    }

    void hugeLineAsksFirst() {
        // A line too long to type in comfortably is opened only when the
        // user says so, and then wraps.
        const QString path =
            File(QStringLiteral("huge.tvk"), QByteArray(CMainWindow::kLongLine, 'a'));
        CMainWindow window(ProgramDir({}));
        for (const char* answer : {"Cancel", "Open"}) {
            CDialogAnswers dialogs({QLatin1String(answer)});
            QCOMPARE(window.OpenFile(path), answer[0] == 'O');
            QVERIFY(dialogs.texts.value(0).contains(QStringLiteral("100000 characters")));
        }
        QCOMPARE(window.Editor()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    }

    void recentFilesAndSettingsOutliveTheWindow() {
        // Ten recent files, the latest first, without the ones that are gone;
        // Fast search, the splitter and the font size come back too.
        QStringList files;
        for (int i = 0; i < CMainWindow::kMaxRecentFiles + 2; ++i)
            files.prepend(File(QStringLiteral("recent%1.tvk").arg(i), "x;\n"));
        int fontSize = 0;
        {
            CMainWindow window(ProgramDir({}));
            QVERIFY(Show(window));
            for (auto it = files.crbegin(); it != files.crend(); ++it)
                QVERIFY(window.LoadFile(*it));
            Action(window, "fastSearch")->trigger();
            Action(window, "zoomIn")->trigger();
            fontSize = window.Editor()->font().pointSize();
            window.Splitter()->SetFraction(0.5);
            QVERIFY(window.close());
        }
        QFile::remove(files[1]);
        CMainWindow window(ProgramDir({}));
        emit Menu(window, "recentMenu")->aboutToShow();
        QStringList expected = files.mid(0, CMainWindow::kMaxRecentFiles);
        expected.removeAt(1);
        QCOMPARE(window.RecentFiles(), expected);
        QCOMPARE(Menu(window, "recentMenu")->actions().size(), expected.size());
        QVERIFY(Action(window, "fastSearch")->isChecked());
        QCOMPARE(Status(window, "fastState"), QStringLiteral("Fast search: on"));
        QCOMPARE(window.OutputPane()->font().pointSize(), fontSize);
        QCOMPARE(window.Splitter()->Fraction(), 0.5);
    }

    void findReplaceAndGoToLine() {
        CMainWindow window(ProgramDir({}));
        QVERIFY(Show(window));
        window.Editor()->setPlainText(QStringLiteral("a b\nb a\nend"));
        // Find searches the pane that has the focus.
        window.OutputPane()->Append(QStringLiteral("x needle\n"));
        window.OutputPane()->Flush();
        window.OutputPane()->setFocus();
        Action(window, "find")->trigger();
        QTest::keyClicks(window.findChild<QLineEdit*>(QStringLiteral("findField")),
                         QStringLiteral("needle"));
        QCOMPARE(window.OutputPane()->textCursor().selectedText(), QStringLiteral("needle"));
        QVERIFY(!window.Editor()->textCursor().hasSelection());
        // Replace All changes the editor in one step that undoes as one.
        Action(window, "replace")->trigger();
        auto* field = window.findChild<QLineEdit*>(QStringLiteral("findField"));
        field->setText(QStringLiteral("a"));
        window.findChild<QLineEdit*>(QStringLiteral("replaceField"))->setText(QStringLiteral("xy"));
        Action(window, "replaceAll")->trigger();
        QCOMPARE(window.Editor()->toPlainText(), QStringLiteral("xy b\nb xy\nend"));
        window.Editor()->undo();
        QCOMPARE(window.Editor()->toPlainText(), QStringLiteral("a b\nb a\nend"));
        // A number beyond the last line means the last line.
        CDialogAnswers dialogs({QStringLiteral("12")});
        Action(window, "goToLine")->trigger();
        QCOMPARE(window.Editor()->textCursor().blockNumber(), 2);
    }

    void errorLinesAreMarked() {
        // The first error's line is marked when it arrives, without a
        // selection that typing would replace; a double-click marks another
        // error's line; editing the marked line clears the mark.
        CMainWindow window(ProgramDir(QByteArray(kCompilingLine) +
                                      "\nprintf '3 \\350\\241\\214: parse error \\r\\n'"
                                      "\nprintf '1 \\350\\241\\214: other \\r\\n'\nexit 1\n"));
        QVERIFY(Show(window));
        window.Editor()->setPlainText(QStringLiteral("N{}={1};\nN x;\nx = = 1;\n输出 {x}"));
        QVERIFY(Run(window));
        QCOMPARE(window.OutputPane()->toPlainText(),
                 QStringLiteral("正在编译……\n3 行: parse error \n1 行: other \n"));
        QCOMPARE(window.Editor()->ErrorLine(), 3);
        QVERIFY(!window.Editor()->textCursor().hasSelection());
        QCOMPARE(Status(window, "runState"), QStringLiteral("failed (2 errors)"));

        const QTextCursor line(window.OutputPane()->document()->findBlockByNumber(2));
        const QPoint at = window.OutputPane()->cursorRect(line).center() + QPoint(4, 0);
        QTest::mouseDClick(window.OutputPane()->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(window.Editor()->ErrorLine(), 1);
        QVERIFY(window.Editor()->hasFocus());
        QTest::keyClick(window.Editor(), Qt::Key_Down);
        Type(window, QStringLiteral("y"));
        QCOMPARE(window.Editor()->ErrorLine(), 1);
        QTest::keyClick(window.Editor(), Qt::Key_Up);
        Type(window, QStringLiteral("y"));
        QCOMPARE(window.Editor()->ErrorLine(), 0);
    }

    void twoWindowsRunTheirOwnText() {
        // Each window runs its text from a directory of its own, removed
        // with the window; the child gets the plain file name, the text in
        // UTF-8 with a byte-order mark, and is asked for UTF-8.
        const QString program = ProgramDir(QByteArray(kCompilingLine) +
                                           "\necho \"$@\"\nsleep 0.5\ncat tmp.in.txt\n"
                                           "echo \"$TOVIK_ENCODING\"\n");
        QString runDirs[2];
        {
            CMainWindow first(program), second(program);
            first.Editor()->setPlainText(QStringLiteral("输出 { \"答案\" x }\n"));
            second.Editor()->setPlainText(QStringLiteral("second\n"));
            Action(second, "fastSearch")->trigger();
            Action(first, "run")->trigger();
            QVERIFY(Run(second));
            QTRY_VERIFY_WITH_TIMEOUT(!first.Runner().IsRunning(), kRunTimeoutMs);
            QCOMPARE(first.OutputPane()->toPlainText(),
                     QStringLiteral("正在编译……\ntmp.in.txt\n\uFEFF输出 { \"答案\" x }\nutf-8\n"));
            QCOMPARE(second.OutputPane()->toPlainText(),
                     QStringLiteral("正在编译……\n--fast tmp.in.txt\n\uFEFFsecond\nutf-8\n"));
            QCOMPARE(Status(first, "runState"), QStringLiteral("finished"));
            runDirs[0] = first.RunDirectory();
            runDirs[1] = second.RunDirectory();
            QVERIFY(runDirs[0] != runDirs[1] && QFileInfo::exists(runDirs[0]));
        }
        QVERIFY(!QFileInfo::exists(runDirs[0]) && !QFileInfo::exists(runDirs[1]));
    }

    void interpreterNotFoundSaysWhere() {
        const QString program = ProgramDir({});
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", m_dir.path().toLocal8Bit());
        CMainWindow window(program);
        QVERIFY(window.InterpreterPath().isEmpty());
        QVERIFY(Run(window));
        qputenv("PATH", path);
        QCOMPARE(window.OutputPane()->toPlainText(),
                 QStringLiteral(
                     "Error creating process\ntovik was found neither in %1 nor on PATH (%2).\n")
                     .arg(program, m_dir.path()));
    }

    void closingDuringARunEndsTheChild() {
        const QString pidFile = m_dir.filePath(QStringLiteral("pid"));
        const QString program =
            ProgramDir("echo $$ > '" + pidFile.toLocal8Bit() + "'\nexec sleep 60\n");
        {
            CMainWindow window(program);
            QVERIFY(Show(window));
            Action(window, "run")->trigger();
            QTRY_VERIFY_WITH_TIMEOUT(!ReadBytes(pidFile).trimmed().isEmpty(), kRunTimeoutMs);
            QVERIFY(window.close());
        }
        QVERIFY(!QFileInfo::exists(QStringLiteral("/proc/") +
                                   QString::fromLatin1(ReadBytes(pidFile).trimmed())));
    }

    void floodOfAMillionLines() {
        // The window keeps handling events, the pane keeps the last lines
        // with a note of the dropped ones, and the saved output has them all.
        CMainWindow window(ProgramDir("seq 1 1000000\n"));
        QVERIFY(Show(window));
        QElapsedTimer clock;
        qint64 last = 0, longestGap = 0;
        QTimer probe;
        connect(&probe, &QTimer::timeout, this, [&] {
            longestGap = qMax(longestGap, clock.elapsed() - last);
            last = clock.elapsed();
        });
        clock.start();
        probe.start(10);
        QVERIFY(Run(window));
        probe.stop();
        QVERIFY2(longestGap < 1000, qPrintable(QString::number(longestGap)));
        QCOMPARE(
            window.OutputPane()->document()->firstBlock().text(),
            QStringLiteral("[%1 earlier lines dropped]").arg(1000000 - COutputPane::kMaxLines));
        QByteArray expected;
        for (int i = 1; i <= 1000000; ++i) expected += QByteArray::number(i) + '\n';
        const QString path = m_dir.filePath(QStringLiteral("output.txt"));
        CDialogAnswers dialogs({path});
        Action(window, "saveOutputAs")->trigger();
        QVERIFY(ReadBytes(path) == expected);
    }

    void stopInterruptsTheRealInterpreter() {
        // The interpreter ends on the interrupt by itself, before it would be
        // killed, and says how many lines it printed: exactly the count in
        // the status bar.
        const QString program = RealProgramDir();
        if (program.isEmpty()) QSKIP("tovik is not built");
        CMainWindow window(program);
        QVERIFY(Show(window));
        window.Editor()->setPlainText(
            QStringLiteral("N{}={[0,9]};\nN a, b, c, d, e, f, g;\noutput {a b c d e f g}\n"));
        Action(window, "run")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(window.Tally().Solutions() > 1000, kRunTimeoutMs);
        Action(window, "stop")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!window.Runner().IsRunning(), kRunTimeoutMs);
        QCOMPARE(Status(window, "runState"), QStringLiteral("stopped"));
        const QString output = window.OutputPane()->toPlainText();
        const QRegularExpressionMatch note =
            QRegularExpression(QStringLiteral("\ntovik: interrupted; (\\d+) solution line"))
                .match(output);
        QVERIFY2(note.hasMatch(), qPrintable(output.right(300)));
        QVERIFY(output.endsWith(QStringLiteral("\nCancelled: the run was stopped.\n")));
        QCOMPARE(Status(window, "solutionCount"),
                 QStringLiteral("%1 solutions").arg(note.captured(1)));
    }
};

QTEST_MAIN(TestMainWindow)
#include "main_window_test.moc"
