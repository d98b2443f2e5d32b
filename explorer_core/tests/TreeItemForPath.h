#pragma once
// Test helper shared by both explorers' suites.
#include <QString>

class CFileListView;
class CFolderTree;
class QTreeWidgetItem;

// The tree item of a PC folder: the volume with the longest matching mount point, then one
// item per component, enumerating as a user's expanding would. Null when it is not there.
QTreeWidgetItem* TreeItemForPath(CFolderTree* tree, const QString& path);

// The list's rows agree with the tree: every row that stands for a tree item finds it, and the
// current folder's item is in the tree. The first disagreement, or empty.
QString ViewsDisagree(const CFolderTree& tree, const CFileListView& list);
