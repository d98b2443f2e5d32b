#include "CLeftView.h"

#include "CTallowApp.h"
#include "CTallowView.h"

CLeftView::CLeftView(CTallowApp* app, QWidget* parent)
    : CFolderTree(&app->Icons(), &app->Backend(), parent), m_app(app) {
    connect(this, &CFolderTree::folderSelected, this, &CLeftView::OnFolderSelected);
}

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

void CLeftView::BuildTree() {
    // Rows point at tree items; none may outlive the items.
    if (m_listView) m_listView->Clear();
    Build(TreeLabels(), m_app->Connected());
    // The root is the current folder but no item is selected, so that choosing any item,
    // the root included, fills the list.
    setCurrentItem(nullptr);
    emit folderChanged();
}

void CLeftView::SelectFolder(QTreeWidgetItem* item) {
    if (!item) return;
    if (item == currentItem()) {
        // CFolderTree only reports a change; a repeated choice must still refill the list.
        setCurrentItem(nullptr);
    }
    setCurrentItem(item);
}

void CLeftView::OnFolderSelected(QTreeWidgetItem* item) {
    if (m_listView) m_listView->ShowFolder(item);
    emit folderChanged();
}
