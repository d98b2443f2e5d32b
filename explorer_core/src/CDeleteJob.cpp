#include "CDeleteJob.h"

#include <mutex>

#include "CDevicePath.h"
#include "CJobPaths.h"
#include "CPcFolderWalk.h"

void CDeleteJob::ErrorBox(const QString& text) {
    CJobQuestion q;
    q.caption = m_policy.errorCaption;
    q.text = text;
    q.icon = CJobQuestion::kCritical;
    m_host.Ask(q);
}

bool CDeleteJob::DeleteTree(const QString& folder) {
    CPcFolderWalk::Hooks hooks;
    hooks.stopped = [this] { return m_host.StopRequested(); };
    hooks.current = [this](const QString& name) { m_host.SetCurrent(name); };
    hooks.fileDeleteFailed = [this](const QString& name) {
        ErrorBox(m_policy.deleteFileFailed(name));
    };
    hooks.folderDeleteFailed = [this](const QString& name) {
        ErrorBox(m_policy.deleteFolderFailed(name));
    };
    return CPcFolderWalk::DeleteTree(folder, hooks);
}

bool CDeleteJob::DeleteDeviceFile(const QString& path) {
    std::lock_guard<std::mutex> gate(m_backend.Gate());
    // A read-only terminal file is deleted too; a library that cannot tell leaves it as it is.
    const uint32_t attributes = m_backend.Attributes(path);
    if (attributes != IDeviceBackend::kNoAttributes && (attributes & IDeviceBackend::kReadOnly))
        m_backend.SetAttributes(path, attributes & ~IDeviceBackend::kReadOnly);
    return m_backend.DeleteFile(path);
}

bool CDeleteJob::DeleteCurrentFolder(const QString& path) {
    // Only a PC folder is deleted from the tree; a terminal node is never a folder to delete.
    if (path.isEmpty() || CDevicePath::IsDevicePath(path)) return true;
    const QString last = CJobPaths::LastName(path);
    if (CPcFolderWalk::IsLink(path)) {
        // A linked folder loses the link, never what it points at.
        if (!CPcFolderWalk::RemoveFile(path)) {
            ErrorBox(m_policy.deleteFolderFailed(last));
            return false;
        }
    } else if (!CPcFolderWalk::IsFolder(path)) {
        // Gone in the meantime, or never a folder: said, not passed over in silence.
        ErrorBox(m_policy.deleteFolderFailed(last));
        return false;
    } else if (!DeleteTree(path)) {
        return false;
    }
    m_host.CallUi([this] { m_views.CurrentFolderDeleted(); });
    return true;
}

bool CDeleteJob::Run(bool treeFolder) {
    QString current;
    int n = 0;
    m_host.CallUi([&] {
        current = m_views.CurrentPath();
        n = m_views.SelectedCount();
    });
    if (treeFolder) return DeleteCurrentFolder(current);
    const bool onPc = !CDevicePath::IsDevicePath(current);
    for (int i = 0; i < n; ++i) {
        // Cancel is looked at between items; the item in hand is finished first.
        if (m_host.CancelRequested()) return true;
        QString name;
        bool found = false;
        // Handled rows leave the list, so the first selected one is always the next.
        m_host.CallUi([&] { found = m_views.FirstSelectedName(&name); });
        if (!found) return true;
        const QString path = CJobPaths::Join(current, name);
        m_host.SetStatus(i * 100 / n);
        if (onPc && CPcFolderWalk::IsFolder(path)) {
            if (!DeleteTree(path)) return false;
        } else {
            m_host.SetCurrent(name);
            bool deleted = false;
            if (onPc) {
                CPcFolderWalk::ClearReadOnly(path);
                // A link goes itself, whatever it points at.
                deleted = CPcFolderWalk::RemoveFile(path);
            } else {
                deleted = DeleteDeviceFile(path);
            }
            if (!deleted) {
                ErrorBox(m_policy.deleteFileFailed(name));
                return false;
            }
        }
        m_host.CallUi([&] { m_views.EntryDeleted(name); });
    }
    return true;
}
