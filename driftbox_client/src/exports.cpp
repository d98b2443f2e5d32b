// The C boundary: a table of connection handles over client sessions.
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "DriftboxClient.h"
#include "client_session.h"
#include "port_name.h"
#include "system_error.h"

#define DB_EXPORT extern "C" __attribute__((visibility("default")))

using driftbox::CClientSession;

namespace {

constexpr int kUsbBaud = 115200;

class HandleTable {
  public:
    int32_t Add(std::unique_ptr<CClientSession> s) {
        std::lock_guard lock(m_mutex);
        const int32_t h = ++m_next > 0 ? m_next : (m_next = 1);
        m_sessions[h] = std::move(s);
        return h;
    }
    // Sessions are used by one caller at a time; the table itself may be touched by several.
    CClientSession* Find(int32_t h) {
        std::lock_guard lock(m_mutex);
        auto it = m_sessions.find(h);
        return it == m_sessions.end() ? nullptr : it->second.get();
    }
    std::unique_ptr<CClientSession> Remove(int32_t h) {
        std::lock_guard lock(m_mutex);
        auto it = m_sessions.find(h);
        if (it == m_sessions.end()) return nullptr;
        auto s = std::move(it->second);
        m_sessions.erase(it);
        return s;
    }

  private:
    std::mutex m_mutex;
    std::map<int32_t, std::unique_ptr<CClientSession>> m_sessions;
    int32_t m_next = 0;
};

HandleTable& Table() {
    static HandleTable table;
    return table;
}

// A start that fails leaves why in the system's last error, set after the half-made session
// is gone: the open's error, or 0 when the port opened and no terminal answered.
// port: "COMn" or "USB", looked up again each time the session opens it, so a terminal plugged
// in again under another device path is found.
int32_t Start(const std::string& port, int baud, int32_t* error) {
    int32_t ignored = 0;
    if (!error) error = &ignored;
    if (qs::SerialDeviceForName(port).empty()) {
        *error = 1;
        qs::SetLastSystemError(qs::NoSuchDeviceError());
        return 0;
    }
    int why = 0;
    {
        auto s = std::make_unique<CClientSession>();
        if (s->Start(port, baud, error)) return Table().Add(std::move(s));
        why = s->OpenError();
    }
    qs::SetLastSystemError(why);
    return 0;
}

}  // namespace

DB_EXPORT int32_t DriftboxClient_COM_Start(int32_t* error, int32_t port, int32_t baudRate) {
    if (port < 1 || port > 255) {
        if (error) *error = 1;
        qs::SetLastSystemError(qs::NoSuchDeviceError());
        return 0;
    }
    return Start("COM" + std::to_string(port), baudRate, error);
}

DB_EXPORT int32_t DriftboxClient_USB_Start(int32_t* error) {
    return Start("USB", kUsbBaud, error);
}

DB_EXPORT void DriftboxClient_ShutDown(int32_t handle, int32_t /*port*/) {
    auto s = Table().Remove(handle);
    if (s) s->ShutDown();
}

DB_EXPORT int32_t RequestGetServerVersion(int32_t handle, char* buffer) {
    CClientSession* s = Table().Find(handle);
    if (!s || !buffer) return 1;
    const std::string v = s->ServerVersion();
    std::strncpy(buffer, v.c_str(), 99);
    buffer[99] = '\0';
    return v.empty() ? 1 : 0;
}

DB_EXPORT int32_t RequestGetSystemInfo(int32_t handle, DRIFTBOX_SYSTEM_INFO* info) {
    CClientSession* s = Table().Find(handle);
    return s && info && s->SystemInfo(info) ? 0 : 1;
}

DB_EXPORT int32_t RequestFindFileOpenExt(int32_t handle, const char* pattern,
                                         DRIFTBOX_FIND_DATA* data) {
    CClientSession* s = Table().Find(handle);
    return s && pattern && data && s->FindOpen(pattern, data) ? 100 : 0;
}

DB_EXPORT int32_t RequestFindFileNextExt(int32_t handle, DRIFTBOX_FIND_DATA* data) {
    CClientSession* s = Table().Find(handle);
    return s && data && s->FindNext(data) ? 0 : 1;
}

DB_EXPORT void RequestFindFileCloseExt(int32_t handle) {
    if (CClientSession* s = Table().Find(handle)) s->FindClose();
}

DB_EXPORT int32_t RequestSendFileExt(int32_t handle, const char* localPath, const char* deviceName,
                                     int32_t* status, int32_t /*reserved*/, int32_t* cancel,
                                     int32_t flags) {
    CClientSession* s = Table().Find(handle);
    if (!s || !localPath || !deviceName || !status || !cancel) return 1;
    const int result = s->Send(localPath, deviceName, status, cancel, flags);
    std::atomic_ref<int32_t>(*status).store(result);
    return 0;
}

DB_EXPORT int32_t RequestReceiveFileExt(int32_t handle, const char* deviceName,
                                        const char* localPath, int32_t* status,
                                        int32_t /*reserved*/, int32_t* cancel, int32_t flags) {
    CClientSession* s = Table().Find(handle);
    if (!s || !localPath || !deviceName || !status || !cancel) return 1;
    const int result = s->Receive(deviceName, localPath, status, cancel, flags);
    std::atomic_ref<int32_t>(*status).store(result);
    return 0;
}

DB_EXPORT int32_t RequestDeleteFileExt(int32_t handle, const char* deviceName) {
    CClientSession* s = Table().Find(handle);
    return s && deviceName && s->Delete(deviceName) ? 0 : 1;
}

DB_EXPORT int32_t RequestGetFileSystemFreeExt(int32_t handle, int64_t* bytes) {
    CClientSession* s = Table().Find(handle);
    return s && bytes && s->StoreBytes(bytes, nullptr) ? 0 : 1;
}

DB_EXPORT int32_t RequestGetFileSystemTotalExt(int32_t handle, int64_t* bytes) {
    CClientSession* s = Table().Find(handle);
    return s && bytes && s->StoreBytes(nullptr, bytes) ? 0 : 1;
}
