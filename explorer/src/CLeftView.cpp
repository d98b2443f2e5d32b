#include "CLeftView.h"

#include <QGuiApplication>

#include "CVelkorApp.h"
#include "CVelkorView.h"

CLeftView::CLeftView(CVelkorApp* app, QWidget* parent)
    : CFolderTree(&app->Icons(), &app->Backend(), parent), m_app(app) {
    connect(this, &CFolderTree::folderSelected, this, &CLeftView::OnFolderSelected);
}

CFolderTree::Labels CLeftView::EditionLabels() const {
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

void CLeftView::BuildTree() {
    // Rows hold tree items; none may outlive the items they point at.
    if (m_listView) m_listView->Clear();
    Build(EditionLabels(), m_app->Connected());
}

void CLeftView::SelectFolder(QTreeWidgetItem* item) {
    if (!item) return;
    if (item == currentItem()) {
        OnFolderSelected(item);
        return;
    }
    setCurrentItem(item);
}

void CLeftView::OnFolderSelected(QTreeWidgetItem* item) {
    if (!m_listView) return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_listView->Clear();
    if (item == ComputerItem())
        m_listView->FillComputer();
    else if (item == DevicesItem())
        m_listView->FillDevices();
    else if (item == RootItem())
        m_listView->FillRoot();
    else
        m_listView->FillFolder(item);
    QGuiApplication::restoreOverrideCursor();
}
