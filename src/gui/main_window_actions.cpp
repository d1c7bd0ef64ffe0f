// CMainWindow: the table of the window's actions, its menus and toolbar.
#include "gui/main_window.h"

#include <QAction>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStyle>
#include <QToolBar>

// One command of the window. Keys are portable key texts separated by
// "; ", the first shown in the tooltip. A command runs either on the window
// or on the pane that has the focus.
struct CActionEntry {
    const char* name;
    const char* text;
    const char* keys;
    const char* tip;
    int icon;  // a QStyle::StandardPixmap, or kNoIcon
    void (CMainWindow::*command)();
    void (QPlainTextEdit::*paneCommand)();
};

namespace {

constexpr int kNoIcon = -1;

using W = CMainWindow;
using P = QPlainTextEdit;

}  // namespace

// The table is a friend's, because it names private slots.
struct CActionTable {
    static const QList<CActionEntry>& Entries() {
        static const QList<CActionEntry> kEntries = {
            {"new", "&New", "Ctrl+N", "New", QStyle::SP_FileIcon, &W::OnNew, nullptr},
            {"open", "&Open...", "Ctrl+O", "Open", QStyle::SP_DialogOpenButton, &W::OnOpen,
             nullptr},
            {"save", "&Save", "Ctrl+S", "Save", QStyle::SP_DialogSaveButton, &W::OnSave, nullptr},
            {"saveAs", "Save &As...", "Ctrl+Shift+S", "Save As", kNoIcon, &W::OnSaveAs, nullptr},
            {"saveOutputAs", "Save O&utput As...", "", "Save the whole output of the last run",
             kNoIcon, &W::OnSaveOutputAs, nullptr},
            {"print", "&Print...", "Ctrl+P", "Print", kNoIcon, &W::OnPrint, nullptr},
            {"run", "&Run", "F5", "Run", QStyle::SP_MediaPlay, &W::Run, nullptr},
            {"stop", "&Stop", "Esc", "Stop", QStyle::SP_MediaStop, &W::Stop, nullptr},
            {"explain", "Exp&lain", "Ctrl+E",
             "Explain why the puzzle has no solution or how its solutions differ",
             QStyle::SP_MessageBoxQuestion, &W::Explain, nullptr},
            {"fastSearch", "&Fast search", "", "Search with constraint propagation (--fast)",
             kNoIcon, nullptr, nullptr},
            {"exit", "E&xit", "", "Exit", kNoIcon, &W::OnExit, nullptr},
            {"undo", "&Undo", "Ctrl+Z; Alt+Backspace", "Undo", kNoIcon, nullptr, &P::undo},
            {"redo", "&Redo", "Ctrl+Y; Ctrl+Shift+Z", "Redo", kNoIcon, nullptr, &P::redo},
            {"cut", "Cu&t", "Ctrl+X; Shift+Del", "Cut", kNoIcon, nullptr, &P::cut},
            {"copy", "&Copy", "Ctrl+C; Ctrl+Ins", "Copy", kNoIcon, nullptr, &P::copy},
            {"paste", "&Paste", "Ctrl+V; Shift+Ins", "Paste", kNoIcon, nullptr, &P::paste},
            {"selectAll", "Select &All", "Ctrl+A", "Select All", kNoIcon, &W::OnSelectAll, nullptr},
            {"find", "&Find...", "Ctrl+F", "Find", kNoIcon, &W::OnFind, nullptr},
            {"findNext", "Find &Next", "F3", "Find Next", kNoIcon, &W::OnFindNext, nullptr},
            {"findPrevious", "Find Pre&vious", "Shift+F3", "Find Previous", kNoIcon,
             &W::OnFindPrevious, nullptr},
            {"replace", "R&eplace...", "Ctrl+H", "Replace", kNoIcon, &W::OnReplace, nullptr},
            {"goToLine", "&Go to Line...", "Ctrl+G", "Go to Line", kNoIcon, &W::OnGoToLine,
             nullptr},
            {"zoomIn", "Zoom &In", "Ctrl+=; Ctrl++", "Larger text", kNoIcon, &W::OnZoomIn, nullptr},
            {"zoomOut", "Zoom &Out", "Ctrl+-", "Smaller text", kNoIcon, &W::OnZoomOut, nullptr},
            {"zoomReset", "&Normal Size", "Ctrl+0", "Normal text size", kNoIcon, &W::OnZoomReset,
             nullptr},
            {"nextPane", "Ne&xt Pane", "F6", "Next Pane", kNoIcon, &W::OnNextPane, nullptr},
            {"previousPane", "Pre&vious Pane", "Shift+F6", "Previous Pane", kNoIcon,
             &W::OnPreviousPane, nullptr},
            {"languageGuide", "&Language Guide", "F1", "Language Guide", kNoIcon,
             &W::OnLanguageGuide, nullptr},
            {"about", "&About TovikWin", "", "About", QStyle::SP_MessageBoxInformation, &W::OnAbout,
             nullptr},
        };
        return kEntries;
    }
};

void CMainWindow::CreateActions() {
    for (const CActionEntry& entry : CActionTable::Entries()) CreateAction(entry);
    m_run = FindAction("run");
    m_stop = FindAction("stop");
    m_stop->setEnabled(false);
    m_explain = FindAction("explain");
    m_fast = FindAction("fastSearch");
    m_fast->setCheckable(true);
}

void CMainWindow::CreateAction(const CActionEntry& entry) {
    auto* action = new QAction(QString::fromUtf8(entry.text), this);
    action->setObjectName(QLatin1String(entry.name));
    const QList<QKeySequence> keys = *entry.keys
                                         ? QKeySequence::listFromString(QLatin1String(entry.keys))
                                         : QList<QKeySequence>();
    action->setShortcuts(keys);
    QString tip = QString::fromUtf8(entry.tip);
    if (!keys.isEmpty())
        tip += QStringLiteral(" (%1)").arg(keys.front().toString(QKeySequence::NativeText));
    action->setToolTip(tip);
    if (entry.icon != kNoIcon)
        action->setIcon(style()->standardIcon(QStyle::StandardPixmap(entry.icon)));
    if (entry.command) connect(action, &QAction::triggered, this, entry.command);
    // The edit commands act on whichever pane has the focus.
    if (const auto command = entry.paneCommand)
        connect(action, &QAction::triggered, this, [this, command] {
            if (QPlainTextEdit* pane = FocusedPane()) (pane->*command)();
        });
    // Keys act anywhere in the window, also for the commands that are in no
    // menu or toolbar.
    addAction(action);
}

QAction* CMainWindow::FindAction(const char* name) const {
    return findChild<QAction*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
}

// A menu of the named actions: "-" is a separator, "@recent" the Open
// Recent submenu.
QMenu* CMainWindow::CreateMenu(const QString& title, const char* name,
                               const QList<const char*>& items) {
    QMenu* menu = menuBar()->addMenu(title);
    menu->setObjectName(QLatin1String(name));
    for (const char* item : items) {
        if (qstrcmp(item, "-") == 0)
            menu->addSeparator();
        else if (qstrcmp(item, "@recent") == 0)
            menu->addMenu(m_recentMenu);
        else
            menu->addAction(FindAction(item));
    }
    return menu;
}

void CMainWindow::CreateMenusAndToolBar() {
    m_recentMenu = new QMenu(QStringLiteral("Open R&ecent"), this);
    m_recentMenu->setObjectName(QStringLiteral("recentMenu"));
    connect(m_recentMenu, &QMenu::aboutToShow, this, &CMainWindow::UpdateRecentMenu);
    CreateMenu(QStringLiteral("&File"), "fileMenu",
               {"new", "open", "@recent", "save", "saveAs", "saveOutputAs", "-", "print", "-",
                "run", "stop", "explain", "fastSearch", "-", "exit"});
    CreateMenu(QStringLiteral("&Edit"), "editMenu",
               {"undo", "redo", "-", "cut", "copy", "paste", "selectAll", "-", "find", "findNext",
                "findPrevious", "replace", "goToLine"});
    CreateMenu(QStringLiteral("&View"), "viewMenu",
               {"zoomIn", "zoomOut", "zoomReset", "-", "nextPane", "previousPane"});
    CreateExamplesMenu();
    CreateMenu(QStringLiteral("&Help"), "helpMenu", {"languageGuide", "-", "about"});

    QToolBar* bar = addToolBar(QStringLiteral("Toolbar"));
    bar->setObjectName(QStringLiteral("toolBar"));
    bar->setMovable(false);
    bar->setIconSize(QSize(16, 16));
    for (const char* name : {"open", "save", "run", "stop", "explain", "about"})
        bar->addAction(FindAction(name));
}
