#pragma once
// The one object through which the copy and delete jobs change an explorer's folder tree and
// file list (on the user-interface thread). The frame owns it.
#include "IJobViews.h"

class CFolderTree;
class CFileListView;

class CJobViews : public IJobViews {
  public:
    CJobViews(CFolderTree& tree, CFileListView& list) : m_tree(tree), m_list(list) {}

    QString CurrentPath() const override;
    int SelectedCount() const override;
    bool FirstSelectedName(QString* name) const override;
    bool HasRow(const QString& name) const override;
    void FolderCreated(const QString& name, const QString& typeText) override;
    void EntryDeleted(const QString& name) override;
    void CurrentFolderDeleted() override;
    void PcFileWritten(const QFileInfo& info) override;
    void DeviceFileWritten(const IDeviceBackend::Entry& entry) override;

  private:
    CFolderTree& m_tree;
    CFileListView& m_list;
};
