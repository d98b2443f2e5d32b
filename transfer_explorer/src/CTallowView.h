#pragma once
// The transfer explorer's file list: the root's two places, the drive and device summaries,
// folders, local files and the terminal's files (listed by the find dialog), and the row
// operations the file jobs use.
#include "CFileListView.h"

class QTreeWidgetItem;
class CTallowApp;
class CLeftView;

class CTallowView : public CFileListView {
    Q_OBJECT
  public:
    explicit CTallowView(CTallowApp* app, QWidget* parent = nullptr);

    // Rebuilds the list for the tree item just selected.
    void ShowFolder(QTreeWidgetItem* item);
    void DriveSummary();
    void DeviceSummary();
    int AddLocalRow(const QString& folder, const QFileInfo& info, bool select);
    int AddOrUpdatePcRow(const QString& folder, const QFileInfo& info, bool select) override;
    // The full 64-bit size: a low-32-bit signed view would show 2 GiB and more as negative.
    int AddOrUpdateDeviceRow(const IDeviceBackend::Entry& entry, bool select) override;

    static QString DeviceSizeText(uint64_t size);
    // Milliseconds since 1970 as a UTC date; "未知" for 0, zeros when out of range.
    static QString DeviceTimeText(int64_t timeMs);
    QString DriveTypeText(int image) const;

  signals:
    // The list's rows or selection changed; the frame's update handlers follow.
    void contentsChanged();

  private:
    void RunFindDialog();

    CTallowApp* m_app;
};
