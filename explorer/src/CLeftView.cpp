#include "CLeftView.h"

#include "CVelkorApp.h"

CLeftView::CLeftView(CVelkorApp* app, QWidget* parent)
    : CFolderTree(&app->Icons(), &app->Backend(), parent) {}

CFolderTree::Labels CLeftView::EditionLabels() {
    Labels l;
    l.root = tr("File Explore");
    l.computer = tr("My Computer");
    l.devices = tr("Remote Devices");
    // The mount point stands where the drive letter stood.
    l.removable = tr("3.5 Floppy (%1)");
    l.optical = tr("CDROM (%1)");
    l.volume = QStringLiteral("%1 (%2)");
    l.home = tr("Home");
    l.deviceItem = QString::asprintf("ZOT_%d_%d", 0, 1);
    return l;
}
