#pragma once
// Copy, Paste and Delete as both frames run them: what the clipboard takes and offers, the
// question before a delete, and the program's job dialog for a paste or a delete. What differs
// between the programs comes in with the frame: its texts (the job policy), its message box and
// its dialog.
#include <functional>
#include <memory>

#include "CFileJobDialog.h"
#include "CJobPolicy.h"
#include "CPaneSelection.h"

class CFileListView;
class CFolderTree;
class IJobViews;
class QWidget;

class CFileCommands {
  public:
    struct Frame {
        Frame(QWidget* w, CFolderTree* t, CFileListView* l, IJobViews* v)
            : window(w), tree(t), list(l), views(v) {}
        QWidget* window;  // owns the message boxes and the job dialog
        CFolderTree* tree;
        CFileListView* list;
        IJobViews* views;
        CJobPolicy policy;
        // The program's message box; returns the button pressed.
        std::function<int(const QString& text, int buttons, int icon, const QString& caption)>
            message;
        // A new job dialog of the program, ready but for its order.
        std::function<std::unique_ptr<CFileJobDialog>()> makeDialog;
    };

    // Each command does nothing while its enable rule says no.
    static void Copy(const Frame& frame, CPaneSelection::Pane pane);
    static void Paste(const Frame& frame);
    static void Delete(const Frame& frame, CPaneSelection::Pane pane);
};
