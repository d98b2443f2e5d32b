#pragma once
// What each explorer program hands the one frame: its settings, images and device, its texts
// and rules, and the few steps that are its own (its dialogs, its message box, how it lists
// the terminal and asks for the store's space).
#include <QString>
#include <cstdint>

#include "CFileJobDialog.h"
#include "CFolderListing.h"
#include "CFolderTree.h"
#include "CJobPolicy.h"

class CFileListView;
class CIconCache;
class CSettingsBase;
class IDeviceBackend;
class QWidget;

class IExplorerProgram {
  public:
    virtual ~IExplorerProgram() = default;

    virtual CSettingsBase& Settings() = 0;
    virtual CIconCache& Icons() = 0;
    virtual IDeviceBackend& Backend() = 0;
    virtual bool Connected() const = 0;
    // The window title for the connected flag as it is.
    virtual QString TitleText() const = 0;

    virtual void RunSetup(QWidget* owner) = 0;
    // The Connect command's dialog with the steps before it; the frame rebuilds the tree after.
    virtual void RunConnect(QWidget* owner) = 0;
    virtual void RunAbout(QWidget* owner) = 0;
    // The program's message box over owner; returns the button pressed.
    virtual int ShowMessage(QWidget* owner, const QString& text, int buttons, int icon,
                            const QString& caption) = 0;

    // The texts and rules of the jobs and of the commands that start them, as they are now.
    virtual CJobPolicy JobPolicy() const = 0;
    virtual CFileJobDialog::Texts JobTexts() const = 0;

    virtual CFolderTree::Labels TreeLabels() const = 0;
    virtual CFolderListing::Texts ListingTexts() const = 0;
    // Lists the terminal folder the tree has current into list, with the program's dialog.
    virtual void ListDeviceFolder(CFileListView* list, QWidget* owner) = 0;
    // The terminal's store, total and free bytes; left at 0 when it cannot ask.
    virtual void StoreInfo(uint64_t* total, uint64_t* free) = 0;
};
