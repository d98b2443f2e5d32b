#include "CJobViews.h"

#include "CFileListView.h"
#include "CFolderTree.h"
#include "CIconCache.h"

QString CJobViews::CurrentPath() const {
    return m_tree.CurrentPath();
}

int CJobViews::SelectedCount() const {
    return static_cast<int>(m_list.SelectedRows().size());
}

bool CJobViews::FirstSelectedName(QString* name) const {
    const QList<int> rows = m_list.SelectedRows();
    if (rows.isEmpty()) return false;
    *name = m_list.Model()->RowAt(rows.first()).text[CFileListModel::kName];
    return true;
}

bool CJobViews::HasRow(const QString& name) const {
    return m_list.HasRow(name);
}

void CJobViews::FolderCreated(const QString& name, const QString& typeText) {
    QTreeWidgetItem* item = m_tree.InsertFolder(m_tree.CurrentFolderItem(), name);
    const int row = m_list.Model()->AppendRow(name, CIconCache::kFolder, m_tree.IdOf(item));
    m_list.Model()->SetText(row, CFileListModel::kType, typeText);
}

void CJobViews::EntryDeleted(const QString& name) {
    const int row = m_list.FindRow(name);
    if (row >= 0) m_list.Model()->RemoveRow(row);
    QTreeWidgetItem* parent = m_tree.CurrentFolderItem();
    for (int c = 0; parent && c < parent->childCount(); ++c) {
        if (parent->child(c)->text(0) == name) {
            delete parent->takeChild(c);
            break;
        }
    }
}

void CJobViews::CurrentFolderDeleted() {
    QTreeWidgetItem* old = m_tree.CurrentFolderItem();
    QTreeWidgetItem* parent = old ? old->parent() : nullptr;
    if (!parent) return;
    m_tree.SelectFolder(parent);
    // The parent's refill made a row for the old item; it goes with the item.
    const quintptr id = m_tree.IdOf(old);
    for (int row = m_list.Model()->Count() - 1; row >= 0; --row)
        if (m_list.Model()->RowAt(row).itemData == id) m_list.Model()->RemoveRow(row);
    delete old;
}

void CJobViews::PcFileWritten(const QFileInfo& info) {
    m_list.AddOrUpdatePcRow(info.absolutePath(), info, true);
}

void CJobViews::DeviceFileWritten(const IDeviceBackend::Entry& entry) {
    m_list.AddOrUpdateDeviceRow(entry, true);
}
