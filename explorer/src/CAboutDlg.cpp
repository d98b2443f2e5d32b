#include "CAboutDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "CVelkorApp.h"

#ifndef VELKOR_VERSION
#define VELKOR_VERSION "0.0.0"
#endif

CAboutDlg::CAboutDlg(CVelkorApp* app, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("About %1").arg(app->ProgramName()));
    auto* icon = new QLabel(this);
    icon->setPixmap(app->Icons().Icon(CIconCache::kDevices).pixmap(32, 32));
    auto* text = new QLabel(
        tr("%1 Version %2\nBuilt %3")
            .arg(app->ProgramName(), QStringLiteral(VELKOR_VERSION), QStringLiteral(__DATE__)),
        this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}
