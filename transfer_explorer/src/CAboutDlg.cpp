#include "CAboutDlg.h"

#include "CTallowApp.h"

#ifndef DRIFTBOX_GUI_VERSION
#define DRIFTBOX_GUI_VERSION "0.0.0"
#endif

CAboutDlg::CAboutDlg(CTallowApp* app, QWidget* parent)
    : CAboutBox(tr("关于 DriftboxGUI"), app->Icons().Icon(CIconCache::kDevices),
                QStringLiteral("DriftboxGUI %1\n%2")
                    .arg(QStringLiteral(DRIFTBOX_GUI_VERSION), QStringLiteral(__DATE__)),
                tr("确定"), parent) {}
