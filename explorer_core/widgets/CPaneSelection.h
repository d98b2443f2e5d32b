#pragma once
// What an explorer frame's Copy and Delete work on: the folder tree's current folder while the
// tree pane is active, else the file list's selected rows.
#include <QString>
#include <QStringList>
#include <optional>

class CFileListView;
class CFolderTree;
class QWidget;

class CPaneSelection {
  public:
    enum class Pane { Tree, List };

    // The pane a widget that just took the focus belongs to, if either.
    static std::optional<Pane> PaneOf(const QWidget* now, const CFolderTree& tree,
                                      const CFileListView& list);
    // The Copy and Delete rule of both frames: a current path, and a folder below a drive (or
    // the terminal) while the tree is active, else at least one selected row.
    static bool CopyRule(const CFolderTree& tree, const CFileListView& list, Pane pane);
    // F6 and Shift+F6 on frame: the keyboard focus to the next and the previous pane.
    static void AddPaneKeys(QWidget* frame, CFolderTree* tree, CFileListView* list);

    // The selection's full paths: the current folder, or one path a selected row.
    static QStringList Paths(const CFolderTree& tree, const CFileListView& list, Pane pane);
    // Puts the paths on the clipboard as a file list; false when the clipboard did not take it.
    static bool CopyToClipboard(const CFolderTree& tree, const CFileListView& list, Pane pane);

    // What the delete question names: one folder (a PC folder row counts, all its contents go
    // too), one file, or a count of items.
    struct DeleteSubject {
        QString name;
        bool folder = false;
        int count = 1;
    };
    static DeleteSubject ForDelete(const CFolderTree& tree, const CFileListView& list, Pane pane);
};
