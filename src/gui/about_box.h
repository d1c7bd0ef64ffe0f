// CAboutBox: the modal About box of the editor window: what TovikWin does,
// its version and licence, and an OK button; Enter, Escape and the close box
// close it too.
#pragma once

#include <QDialog>

class CAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit CAboutBox(QWidget* parent);
};
