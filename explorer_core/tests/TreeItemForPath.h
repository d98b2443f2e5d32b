#pragma once
// Test helper shared by both explorers' suites.
#include <QString>

class CFolderTree;
class QTreeWidgetItem;

// The tree item of a PC folder: the volume with the longest matching mount point, then one
// item per component, enumerating as a user's expanding would. Null when it is not there.
QTreeWidgetItem* TreeItemForPath(CFolderTree* tree, const QString& path);
