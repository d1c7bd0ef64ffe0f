// CAboutBox: the About box.
#include "gui/about_box.h"

#include "gui/command_line.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

// The project states no licence of its own yet, so the box claims nothing
// beyond copyright.
constexpr char kLicence[] = "Copyright © the Tovik developers. All rights reserved.";

}  // namespace

CAboutBox::CAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("TovikWin: write a puzzle, press F5 to solve it."), this));
    layout->addWidget(new QLabel(QStringLiteral("Version %1").arg(EditorVersion()), this));
    layout->addWidget(new QLabel(QString::fromUtf8(kLicence), this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
