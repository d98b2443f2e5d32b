#include "CFindInfoDlg.h"

#include <QPushButton>
#include <mutex>

#include "CFileListView.h"
#include "CTallowApp.h"

CFindInfoDlg::CFindInfoDlg(CTallowApp* app, CFileListView* view, QWidget* parent)
    : CWorkerDialog(parent), m_app(app), m_view(view) {
    setWindowTitle(tr("查找文件"));
    SetText(tr("查找并列出文件,请稍候..."));
    CancelButton()->setText(tr("取消"));
}

void CFindInfoDlg::Begin() {
    CTallowApp* app = m_app;
    CFileListView* view = m_view;
    CFindInfoDlg* self = this;
    StartWorker([app, view, self](const std::shared_ptr<CJobToken>& token) {
        // Waits here, off the user-interface thread, for an abandoned listing's last request.
        std::lock_guard<std::mutex> lock(app->Backend().Gate());
        if (token->Cancelled()) return;
        CDriftboxBackend& backend = app->Backend();
        const auto addRow = [view, &token](const IDeviceBackend::Entry& entry) {
            token->Post([view, entry] { view->AddOrUpdateDeviceRow(entry, false); });
            return !token->Cancelled();
        };
        bool listed = backend.List(QStringLiteral("*.*"), addRow);
        // Without a connection (none made yet, or closed by Setup) the listing connects; a
        // terminal that went quiet is not asked again at once.
        if (!listed && backend.Handle() == 0 && !token->Cancelled()) {
            app->ConnectProcedure();
            listed = backend.List(QStringLiteral("*.*"), addRow);
        }
        token->Post([self, listed] { self->OnMessage(listed ? WM_FIND_OK : WM_FIND_FAILED); });
    });
}

void CFindInfoDlg::OnMessage(int message) {
    if (message == WM_FIND_OK)
        SetText(tr("查找成功..."));
    else if (message == WM_FIND_FAILED)
        SetText(tr("查找失败..."));
    else
        return;
    accept();
}
