#pragma once
// Copy, Paste and Delete as both frames run them: what the clipboard takes and offers, the
// question before a delete, and the job dialog for a paste or a delete. What differs between
// the programs comes in with the frame: its texts (the job policy and the dialog's), its message
// box and its rules.
#include <functional>
#include <memory>

#include "CFileJobDialog.h"
#include "CJobPolicy.h"
#include "CPaneSelection.h"

class CFileListView;
class CFolderTree;
class IDeviceBackend;
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
        IDeviceBackend* backend = nullptr;
        CFileJobDialog::Texts jobTexts;
        // A delete can be cancelled halfway.
        bool deleteCancellable = true;
    };

    // Each command does nothing while its enable rule says no.
    static void Copy(const Frame& frame, CPaneSelection::Pane pane);
    static void Paste(const Frame& frame);
    // Paste of the given sources into the current folder: what a drop does.
    static void PasteSources(const Frame& frame, const QStringList& sources);
    static void Delete(const Frame& frame, CPaneSelection::Pane pane);
};
