#include "CListFilesDlg.h"

#include <mutex>

#include "CDevicePath.h"
#include "CFileListView.h"

CListFilesDlg::CListFilesDlg(CFileListView* view, IDeviceBackend* backend, QWidget* parent)
    : CWorkerDialog(parent), m_view(view), m_backend(backend) {
    setWindowTitle(tr("List files"));
    SetText(tr("Listing files, please wait..."));
}

void CListFilesDlg::Begin() {
    IDeviceBackend* backend = m_backend;
    CFileListView* view = m_view;
    CListFilesDlg* self = this;
    StartWorker([=](const std::shared_ptr<CJobToken>& token) {
        {
            std::lock_guard<std::mutex> lock(backend->Gate());
            if (!token->Cancelled()) {
                // Always the terminal's root, whatever device path is current.
                backend->List(CDevicePath::RootPattern(), [&](const IDeviceBackend::Entry& e) {
                    token->Post([view, e] { view->AddOrUpdateDeviceRow(e, false); });
                    return !token->Cancelled();
                });
            }
        }
        // Posted rows arrive before this message.
        token->Send([self] { self->OnMessage(WM_LISTING_DONE); });
    });
}

void CListFilesDlg::OnMessage(int message) {
    if (message != WM_LISTING_DONE) return;
    SetText(tr("Searching successful..."));
    accept();
}
