#pragma once
// The find dialog: its thread lists the terminal into the file list, reconnecting once when
// the first request fails within a second (a connection the settings closed). Cancel closes the
// dialog at once and abandons the thread: it stops after its current request, and whatever it
// still reports is dropped.
#include "CWorkerDialog.h"

class CTallowApp;
class CFileListView;

class CFindInfoDlg : public CWorkerDialog {
    Q_OBJECT
  public:
    static constexpr int WM_USER = 0x0400;
    static constexpr int WM_FIND_OK = WM_USER + 102;
    static constexpr int WM_FIND_FAILED = WM_USER + 103;

    CFindInfoDlg(CTallowApp* app, CFileListView* view, QWidget* parent);
    void OnMessage(int message);

  protected:
    void Begin() override;

  private:
    CTallowApp* m_app;
    CFileListView* m_view;
};
