#pragma once
// The tree and the list as a job changes them. Called on the user-interface thread only (a job
// reaches it through its host's CallUi); one object talks to both views, so that no list row
// can outlive the tree item it stands for.
#include <QFileInfo>
#include <QString>

#include "IDeviceBackend.h"

class IJobViews {
  public:
    virtual ~IJobViews() = default;

    virtual QString CurrentPath() const = 0;
    virtual int SelectedCount() const = 0;
    // The name of the first selected row; false when none is selected.
    virtual bool FirstSelectedName(QString* name) const = 0;
    virtual bool HasRow(const QString& name) const = 0;
    // A folder the paste made in the current folder: a tree child and a list row.
    virtual void FolderCreated(const QString& name, const QString& typeText) = 0;
    // An entry of the current folder is gone: its row and a tree child of that name.
    virtual void EntryDeleted(const QString& name) = 0;
    // The tree's current folder is gone: its parent becomes current and the item goes.
    virtual void CurrentFolderDeleted() = 0;
    // The row callback: a file the paste wrote, selected.
    virtual void PcFileWritten(const QFileInfo& info) = 0;
    virtual void DeviceFileWritten(const IDeviceBackend::Entry& entry) = 0;
};
