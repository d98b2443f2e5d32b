#include "CPaneSelection.h"

#include <QAction>
#include <QApplication>
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

bool CPaneSelection::CopyRule(const CFolderTree& tree, const CFileListView& list, Pane pane) {
    if (tree.CurrentPath().isEmpty()) return false;
    if (pane == Pane::Tree) {
        // Told by the item's kind, not by separators: "/home" is a folder below the drive "/".
        const QTreeWidgetItem* item = tree.CurrentFolderItem();
        return item && CFolderTree::KindOf(item) == CFolderTree::Kind::Folder;
    }
    return !list.SelectedRows().isEmpty();
}

void CPaneSelection::AddPaneKeys(QWidget* frame, CFolderTree* tree, CFileListView* list) {
    // With two panes the next one and the previous one are the same: the other.
    auto* other = new QAction(frame);
    other->setShortcuts({QKeySequence(Qt::Key_F6), QKeySequence(Qt::SHIFT | Qt::Key_F6)});
    other->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(other, &QAction::triggered, frame, [tree, list] {
        const QWidget* now = QApplication::focusWidget();
        if (now && (now == list || list->isAncestorOf(now)))
            tree->setFocus(Qt::ShortcutFocusReason);
        else
            list->FocusList();
    });
    frame->addAction(other);
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
