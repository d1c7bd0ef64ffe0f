// CAboutBox: the About box.
#include "gui/about_box.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>

CAboutBox::CAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About"));
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("TovikWin: write a puzzle, press F5 to solve it."), this));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CAboutBox::keyPressEvent(QKeyEvent* event) {
    // With no buttons there is no default button: Enter closes the box itself.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
