#include "CAboutDlg.h"

#include "CVelkorApp.h"

#ifndef VELKOR_VERSION
#define VELKOR_VERSION "0.0.0"
#endif

CAboutDlg::CAboutDlg(CVelkorApp* app, QWidget* parent)
    : CAboutBox(
          tr("About %1").arg(app->ProgramName()), app->Icons().Icon(CIconCache::kDevices),
          tr("%1 Version %2\nBuilt %3")
              .arg(app->ProgramName(), QStringLiteral(VELKOR_VERSION), QStringLiteral(__DATE__)),
          {}, parent) {}
