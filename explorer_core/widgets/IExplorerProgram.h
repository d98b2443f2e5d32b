#pragma once
// What each explorer program hands the one frame besides its texts and rules: its settings,
// images and device, and the few steps that are its own (its dialogs, its message box, its
// job policy, how it lists the terminal and asks for the store's space).
#include <QString>
#include <cstdint>

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
    // The program's message box over owner, with its caption unless one is given; returns the
    // button pressed.
    virtual int Message(QWidget* owner, const QString& text, int buttons, int icon,
                        const QString& caption = {}) const = 0;

    // The texts and rules of the jobs and of the commands that start them, as they are now.
    virtual CJobPolicy JobPolicy() const = 0;
    // Lists the terminal folder the tree has current into list, with the program's dialog.
    virtual void ListDeviceFolder(CFileListView* list, QWidget* owner) = 0;
    // The terminal's store, total and free bytes; left at 0 when it cannot ask.
    virtual void StoreInfo(uint64_t* total, uint64_t* free) = 0;
};
