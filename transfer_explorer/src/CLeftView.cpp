#include "CLeftView.h"

#include "CTallowApp.h"

CLeftView::CLeftView(CTallowApp* app, QWidget* parent)
    : CFolderTree(&app->Icons(), &app->Backend(), parent) {}

CFolderTree::Labels CLeftView::TreeLabels() {
    Labels l;
    l.root = tr("资源管理器");
    l.computer = tr("我的电脑");
    l.devices = tr("掌上设备");
    // The mount point stands where the drive letter stood.
    l.removable = tr("3.5软盘 (%1)");
    l.optical = tr("光盘 (%1)");
    l.volume = QStringLiteral("%1 (%2)");
    l.home = tr("主文件夹");
    l.deviceItem = QString::asprintf("ZOT_%d_%d", 0, 1);
    return l;
}
