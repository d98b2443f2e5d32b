#include "CAboutDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "CTallowApp.h"

#ifndef DRIFTBOX_GUI_VERSION
#define DRIFTBOX_GUI_VERSION "0.0.0"
#endif

CAboutDlg::CAboutDlg(CTallowApp* app, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("关于 DriftboxGUI"));
    auto* icon = new QLabel(this);
    icon->setPixmap(app->Icons().Icon(CIconCache::kDevices).pixmap(32, 32));
    auto* text =
        new QLabel(QStringLiteral("DriftboxGUI %1\n%2")
                       .arg(QStringLiteral(DRIFTBOX_GUI_VERSION), QStringLiteral(__DATE__)),
                   this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("确定"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}
