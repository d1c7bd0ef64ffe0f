// CFindBar: find in the focused pane, replace in the editor.
#include "gui/find_bar.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

bool FindInPane(QPlainTextEdit* pane, const QString& text, bool backward) {
    if (text.isEmpty()) return false;
    const QTextDocument::FindFlags flags =
        backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    QTextDocument* doc = pane->document();
    QTextCursor found = doc->find(text, pane->textCursor(), flags);
    if (found.isNull()) {
        // Wrap around: from the start going forward, from the end going back.
        QTextCursor from(doc);
        if (backward) from.movePosition(QTextCursor::End);
        found = doc->find(text, from, flags);
    }
    if (found.isNull()) return false;
    pane->setTextCursor(found);
    return true;
}

CFindBar::CFindBar(QPlainTextEdit* editor, QAction* findPrevious, QAction* findNext,
                   QWidget* parent)
    : QToolBar(QStringLiteral("Find"), parent), m_editor(editor), m_target(editor) {
    setObjectName(QStringLiteral("findBar"));
    setMovable(false);
    addWidget(new QLabel(QStringLiteral("Find: "), this));
    m_findField = new QLineEdit(this);
    m_findField->setObjectName(QStringLiteral("findField"));
    m_findField->setClearButtonEnabled(true);
    addWidget(m_findField);
    addAction(findPrevious);
    addAction(findNext);
    m_replaceItems << addSeparator()
                   << addWidget(new QLabel(QStringLiteral("Replace with: "), this));
    m_replaceField = new QLineEdit(this);
    m_replaceField->setObjectName(QStringLiteral("replaceField"));
    m_replaceItems << addWidget(m_replaceField);
    m_replaceItems << addAction(QStringLiteral("Replace"), this, &CFindBar::Replace);
    m_replaceItems << addAction(QStringLiteral("Replace All"), this, &CFindBar::ReplaceAll);
    m_replaceItems[3]->setObjectName(QStringLiteral("replace"));
    m_replaceItems[4]->setObjectName(QStringLiteral("replaceAll"));
    hide();
    m_findField->installEventFilter(this);
    m_replaceField->installEventFilter(this);
    // Typing searches from where the current match starts.
    connect(m_findField, &QLineEdit::textEdited, this, [this] {
        if (!m_target) return;
        QTextCursor cursor = m_target->textCursor();
        cursor.setPosition(cursor.selectionStart());
        m_target->setTextCursor(cursor);
        FindNext(false);
    });
}

QString CFindBar::FindText() const { return m_findField->text(); }

void CFindBar::OpenFind(QPlainTextEdit* pane) { Open(pane, false); }

void CFindBar::OpenReplace() { Open(m_editor, true); }

void CFindBar::Open(QPlainTextEdit* pane, bool replace) {
    m_target = pane;
    // A selection within one line is what the user most likely looks for.
    const QString selected = pane->textCursor().selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
        m_findField->setText(selected);
    for (QAction* item : m_replaceItems) item->setVisible(replace);
    show();
    m_findField->setFocus();
    m_findField->selectAll();
}

void CFindBar::FindNext(bool backward, QPlainTextEdit* pane) {
    if (pane) m_target = pane;
    const QString text = FindText();
    if (text.isEmpty() || !m_target) {
        OpenFind(m_target ? m_target.data() : m_editor);
        return;
    }
    if (FindInPane(m_target, text, backward))
        emit Message(QString());
    else
        emit Message(QStringLiteral("Not found: %1").arg(text));
}

void CFindBar::Replace() {
    // The match found last is replaced, then the next one is found.
    m_target = m_editor;
    QTextCursor cursor = m_editor->textCursor();
    if (!FindText().isEmpty() &&
        cursor.selectedText().compare(FindText(), Qt::CaseInsensitive) == 0)
        cursor.insertText(m_replaceField->text());
    FindNext(false);
}

void CFindBar::ReplaceAll() {
    // One edit, undone as one.
    const QString text = FindText();
    if (text.isEmpty()) return;
    QTextDocument* doc = m_editor->document();
    QTextCursor edit(doc);
    edit.beginEditBlock();
    int count = 0;
    for (QTextCursor found = doc->find(text, 0); !found.isNull(); found = doc->find(text, found)) {
        found.insertText(m_replaceField->text());
        ++count;
    }
    edit.endEditBlock();
    emit Message(QStringLiteral("Replaced %1").arg(count));
}

bool CFindBar::eventFilter(QObject* watched, QEvent* event) {
    // In the fields Esc closes the bar and Enter finds (or replaces), before
    // the window's keys (Esc is also Stop) get them.
    if (event->type() == QEvent::ShortcutOverride) {
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            event->accept();
            return true;
        }
    } else if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            hide();
            (m_target ? m_target.data() : m_editor)->setFocus();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (watched == m_replaceField)
                Replace();
            else
                FindNext(key->modifiers() & Qt::ShiftModifier);
            return true;
        }
    }
    return QToolBar::eventFilter(watched, event);
}
