#include "TreeItemForPath.h"

#include <QStringList>
#include <QTreeWidgetItem>

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
