#include "CPaneSelection.h"

#include <QClipboard>
#include <QGuiApplication>

#include "CClipboardFiles.h"
#include "CDevicePath.h"
#include "CFileListView.h"
#include "CFolderTree.h"
#include "CJobPaths.h"
#include "CPcFolderWalk.h"

std::optional<CPaneSelection::Pane> CPaneSelection::PaneOf(const QWidget* now,
                                                           const CFolderTree& tree,
                                                           const CFileListView& list) {
    if (!now) return std::nullopt;
    if (now == &tree || tree.isAncestorOf(now)) return Pane::Tree;
    if (now == &list || list.isAncestorOf(now)) return Pane::List;
    return std::nullopt;
}

QStringList CPaneSelection::Paths(const CFolderTree& tree, const CFileListView& list, Pane pane) {
    const QString current = tree.CurrentPath();
    if (pane == Pane::Tree) return {current};
    QStringList paths;
    for (int row : list.SelectedRows())
        paths << CJobPaths::Join(current, list.Model()->RowAt(row).text[CFileListModel::kName]);
    return paths;
}

bool CPaneSelection::CopyToClipboard(const CFolderTree& tree, const CFileListView& list,
                                     Pane pane) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setMimeData(CClipboardFiles::Make(Paths(tree, list, pane)));
    // Qt reports no failure of its own; a clipboard that did not take the list is the case.
    return CClipboardFiles::HasFiles(clipboard->mimeData());
}

CPaneSelection::DeleteSubject CPaneSelection::ForDelete(const CFolderTree& tree,
                                                        const CFileListView& list, Pane pane) {
    DeleteSubject s;
    if (pane == Pane::Tree) {
        if (tree.CurrentFolderItem()) s.name = tree.CurrentFolderItem()->text(0);
        s.folder = true;
        return s;
    }
    const QList<int> rows = list.SelectedRows();
    s.count = static_cast<int>(rows.size());
    if (s.count == 1) {
        s.name = list.Model()->RowAt(rows.first()).text[CFileListModel::kName];
        const QString path = CJobPaths::Join(tree.CurrentPath(), s.name);
        s.folder = !CDevicePath::IsDevicePath(path) && CPcFolderWalk::IsFolder(path);
    }
    return s;
}
