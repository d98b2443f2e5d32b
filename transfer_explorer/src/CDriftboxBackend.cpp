#include "CDriftboxBackend.h"

#include <DriftboxClient.h>

#include <QFile>
#include <cstring>
#include <memory>
#include <thread>

#include "CDevicePath.h"
#include "CLocalCopyThread.h"
#include "CWireText.h"
#include "system_error.h"

namespace {

constexpr int32_t kFindOk = 100;

IDeviceBackend::Entry FromFindData(const DRIFTBOX_FIND_DATA& d) {
    IDeviceBackend::Entry e;
    // The library keeps the name NUL-terminated inside its buffer, in the wire code page as
    // the terminal reported it; never read past it.
    e.name = CWireText::Decode(
        QByteArray(d.szName, static_cast<qsizetype>(strnlen(d.szName, sizeof d.szName))));
    e.attributes = d.dwAttributes;
    e.timeMs = d.llTimeMs;
    e.size = d.ullSize;
    return e;
}

}  // namespace

CDriftboxBackend::~CDriftboxBackend() = default;

bool CDriftboxBackend::Open(int port, int rate, bool compress) {
    Q_UNUSED(compress);
    Close();
    int32_t error = 0;
    const int32_t handle =
        port != 0 ? DriftboxClient_COM_Start(&error, port, rate) : DriftboxClient_USB_Start(&error);
    SetOpenError(handle != 0 ? 0 : qs::LastSystemError());
    m_handle.store(handle, std::memory_order_release);
    return handle != 0;
}

bool CDriftboxBackend::QueryVersion() {
    char buffer[100] = {};
    const bool ok = RequestGetServerVersion(Handle(), buffer) == 0;
    buffer[sizeof buffer - 1] = '\0';
    std::lock_guard<std::mutex> lock(m_versionLock);
    m_version = QString::fromLocal8Bit(buffer);
    return ok;
}

void CDriftboxBackend::Close() {
    const int32_t handle = m_handle.exchange(0, std::memory_order_acq_rel);
    if (handle != 0)
        DriftboxClient_ShutDown(handle, m_shutDownPort.load(std::memory_order_acquire));
}

QString CDriftboxBackend::ServerVersion() const {
    std::lock_guard<std::mutex> lock(m_versionLock);
    return m_version;
}

bool CDriftboxBackend::SystemDescription(QString* description) {
    DRIFTBOX_SYSTEM_INFO info;
    std::memset(&info, 0, sizeof info);
    info.dwSize = sizeof info;
    if (RequestGetSystemInfo(Handle(), &info) != 0) return false;
    const char* text = info.szServerDescription;
    *description = QString::fromLocal8Bit(
        text, static_cast<qsizetype>(strnlen(text, sizeof info.szServerDescription)));
    return true;
}

bool CDriftboxBackend::StoreInfo(uint64_t* total, uint64_t* free) {
    int64_t f = 0, t = 0;
    const int32_t handle = Handle();
    const bool freeOk = RequestGetFileSystemFreeExt(handle, &f) == 0;
    const bool totalOk = RequestGetFileSystemTotalExt(handle, &t) == 0;
    *free = f > 0 ? static_cast<uint64_t>(f) : 0;
    *total = t > 0 ? static_cast<uint64_t>(t) : 0;
    return freeOk && totalOk;
}

bool CDriftboxBackend::List(const QString& pattern,
                            const std::function<bool(const Entry&)>& onEntry) {
    Q_UNUSED(pattern);
    const int32_t handle = Handle();
    // The record is over a kilobyte; keep it off the caller's stack.
    auto data = std::make_unique<DRIFTBOX_FIND_DATA>();
    std::memset(data.get(), 0, sizeof *data);
    qs::SetLastSystemError(0);
    bool opened = RequestFindFileOpenExt(handle, "*.*", data.get()) == kFindOk;
    // A device that went away (a cable pulled, and perhaps plugged in again since) fails the
    // first request; the library opens it again on the next.
    if (!opened && handle != 0 && qs::LastSystemError() == qs::DeviceGoneError())
        opened = RequestFindFileOpenExt(handle, "*.*", data.get()) == kFindOk;
    if (!opened) {
        if (handle != 0) NoteRequest();
        return false;
    }
    NoteLink(true);
    bool more = onEntry(FromFindData(*data));
    while (more) {
        std::memset(data.get(), 0, sizeof *data);
        if (RequestFindFileNextExt(handle, data.get()) != 0) {
            NoteRequest();
            break;
        }
        more = onEntry(FromFindData(*data));
    }
    RequestFindFileCloseExt(handle);
    return true;
}

bool CDriftboxBackend::Copy(const QString& src, const QString& dst, int32_t* status,
                            int32_t* cancel, bool resume) {
    const bool srcLocal = !CDevicePath::IsDevicePath(src);
    const bool dstLocal = !CDevicePath::IsDevicePath(dst);
    if (srcLocal && dstLocal) {
        // The worker judges the file only after the copy thread has ended.
        CLocalCopyThread::Start(src, dst, status, cancel).join();
        return true;
    }
    if (!srcLocal && !dstLocal) return true;
    // Read under the caller's gate: a reconnect cannot swap the handle halfway.
    const int32_t handle = Handle();
    const int32_t flags = 1 | DRIFTBOX_TRANSFER_KEEP_TIME | (resume ? DRIFTBOX_TRANSFER_RESUME : 0);
    const bool ran = dstLocal
                         ? RequestReceiveFileExt(
                               handle, CDevicePath::BareName(src).toLocal8Bit().constData(),
                               QFile::encodeName(dst).constData(), status, 0, cancel, flags) == 0
                         : RequestSendFileExt(handle, QFile::encodeName(src).constData(),
                                              CDevicePath::BareName(dst).toLocal8Bit().constData(),
                                              status, 0, cancel, flags) == 0;
    if (ran && *status == kLineBroke) NoteLink(false);
    if (ran && *status == 100) NoteLink(true);
    return ran;
}

bool CDriftboxBackend::DeleteFile(const QString& devicePath) {
    return RequestDeleteFileExt(Handle(),
                                CDevicePath::BareName(devicePath).toLocal8Bit().constData()) == 0;
}

uint32_t CDriftboxBackend::Attributes(const QString&) {
    return kNoAttributes;
}

bool CDriftboxBackend::SetAttributes(const QString&, uint32_t) {
    return false;
}
