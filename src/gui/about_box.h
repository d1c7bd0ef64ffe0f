// CAboutBox: the modal About box of the editor window: one line of text and
// no buttons; Enter, Escape and the close box close it.
#pragma once

#include <QDialog>

class CAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit CAboutBox(QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
