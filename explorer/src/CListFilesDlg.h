#pragma once
// Lists the terminal's root into the file list on a worker thread; WM_LISTING_DONE ends it.
#include "CWorkerDialog.h"

class CFileListView;
class IDeviceBackend;

class CListFilesDlg : public CWorkerDialog {
    Q_OBJECT
  public:
    static constexpr int WM_USER = 0x0400;
    static constexpr int WM_LISTING_DONE = WM_USER + 102;

    CListFilesDlg(CFileListView* view, IDeviceBackend* backend, QWidget* parent);
    void OnMessage(int message);

  protected:
    void Begin() override;

  private:
    CFileListView* m_view;
    IDeviceBackend* m_backend;
};
