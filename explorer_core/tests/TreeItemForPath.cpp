#include "TreeItemForPath.h"

#include <QStringList>
#include <QTreeWidgetItem>

#include "CFileListView.h"
#include "CFolderTree.h"

QTreeWidgetItem* TreeItemForPath(CFolderTree* tree, const QString& path) {
    QTreeWidgetItem* best = nullptr;
    QString bestRoot;
    for (int i = 0; i < tree->ComputerItem()->childCount(); ++i) {
        QTreeWidgetItem* drive = tree->ComputerItem()->child(i);
        const QString root = tree->PathOf(drive);
        const bool inside = path == root || path.startsWith(root.endsWith('/') ? root : root + '/');
        if (inside && root.size() > bestRoot.size()) {
            best = drive;
            bestRoot = root;
        }
    }
    if (!best) return nullptr;
    QTreeWidgetItem* item = best;
    for (const QString& part : path.mid(bestRoot.size()).split('/', Qt::SkipEmptyParts)) {
        if (item->childCount() == 0) tree->Enumerate(item);
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < item->childCount() && !next; ++i)
            if (item->child(i)->text(0) == part) next = item->child(i);
        if (!next) return nullptr;
        item = next;
    }
    return item;
}

QString ViewsDisagree(const CFolderTree& tree, const CFileListView& list) {
    for (int row = 0; row < list.Model()->Count(); ++row) {
        const CFileListModel::Row& r = list.Model()->RowAt(row);
        if (r.itemData != 0 && !tree.ItemOfId(r.itemData))
            return "row " + r.text[CFileListModel::kName] + " outlived its tree item";
    }
    if (tree.CurrentFolderItem() && tree.CurrentFolderItem() != tree.RootItem() &&
        !tree.ItemOfId(CFolderTree::IdOf(tree.CurrentFolderItem())))
        return "the current folder is not in the tree";
    return {};
}
