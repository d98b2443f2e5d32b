#include "CDriftboxBackend.h"

#include <DriftboxClient.h>

#include <QFile>
#include <cstring>
#include <limits>
#include <memory>
#include <thread>

#include "CDevicePath.h"
#include "CLocalCopyThread.h"
#include "CWireText.h"
#include "system_error.h"

namespace {

CDriftboxBackend::Record FromFindData(const DRIFTBOX_FIND_DATA& d) {
    CDriftboxBackend::Record r;
    // The library keeps the name NUL-terminated inside its buffer, in the wire code page as
    // the terminal reported it; never read past it.
    r.name = CWireText::Decode(
        QByteArray(d.szName, static_cast<qsizetype>(strnlen(d.szName, sizeof d.szName))));
    r.attributes = d.dwAttributes;
    r.timeMs = d.llTimeMs;
    r.size = d.ullSize;
    return r;
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

bool CDriftboxBackend::Free(int64_t* bytes) {
    *bytes = 0;
    return RequestGetFileSystemFreeExt(Handle(), bytes) == 0;
}

bool CDriftboxBackend::Total(int64_t* bytes) {
    *bytes = 0;
    return RequestGetFileSystemTotalExt(Handle(), bytes) == 0;
}

bool CDriftboxBackend::StoreInfo(uint64_t* total, uint64_t* free) {
    int64_t f = 0, t = 0;
    const bool ok = Free(&f) && Total(&t);
    *free = f > 0 ? static_cast<uint64_t>(f) : 0;
    *total = t > 0 ? static_cast<uint64_t>(t) : 0;
    return ok;
}

int CDriftboxBackend::FindOpen(Record* first) {
    // The record is over a kilobyte; keep it off the caller's stack.
    auto data = std::make_unique<DRIFTBOX_FIND_DATA>();
    std::memset(data.get(), 0, sizeof *data);
    const int rc = RequestFindFileOpenExt(Handle(), "*.*", data.get());
    if (rc == kFindOk) *first = FromFindData(*data);
    return rc;
}

int CDriftboxBackend::FindNext(Record* next) {
    auto data = std::make_unique<DRIFTBOX_FIND_DATA>();
    std::memset(data.get(), 0, sizeof *data);
    const int rc = RequestFindFileNextExt(Handle(), data.get());
    if (rc == 0) *next = FromFindData(*data);
    return rc;
}

void CDriftboxBackend::FindClose() {
    RequestFindFileCloseExt(Handle());
}

bool CDriftboxBackend::List(const QString& pattern,
                            const std::function<bool(const Entry&)>& onEntry) {
    // The terminal's store is flat: every pattern lists its root.
    Q_UNUSED(pattern);
    auto toEntry = [](const Record& r) {
        Entry e;
        e.name = r.name;
        e.attributes = r.attributes;
        const int64_t seconds = r.timeMs / 1000;
        e.time = seconds > 0 && seconds <= std::numeric_limits<uint32_t>::max()
                     ? static_cast<uint32_t>(seconds)
                     : 0;
        e.size = r.size;
        return e;
    };
    Record r;
    if (FindOpen(&r) != kFindOk) return false;
    bool more = onEntry(toEntry(r));
    while (more && FindNext(&r) == 0) more = onEntry(toEntry(r));
    FindClose();
    return true;
}

bool CDriftboxBackend::Copy(const QString& src, const QString& dst, int32_t* status,
                            int32_t* cancel) {
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
    if (dstLocal) {
        return RequestReceiveFileExt(handle, CDevicePath::BareName(src).toLocal8Bit().constData(),
                                     QFile::encodeName(dst).constData(), status, 0, cancel, 1) == 0;
    }
    return RequestSendFileExt(handle, QFile::encodeName(src).constData(),
                              CDevicePath::BareName(dst).toLocal8Bit().constData(), status, 0,
                              cancel, 1) == 0;
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

bool CDriftboxBackend::CreateFolder(const QString&) {
    return false;
}

bool CDriftboxBackend::RemoveFolder(const QString&) {
    return false;
}
