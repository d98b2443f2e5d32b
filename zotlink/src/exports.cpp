// The C boundary: argument checks and string conversion over the one process-wide session,
// and the one place where what a call came to becomes the export's return value.
#include <atomic>
#include <cstring>

#include "codepage.h"
#include "copy_thread.h"
#include "protocol.h"
#include "system_error.h"
#include "zot_session.h"
#include "zotlink.h"

#define ZOT_EXPORT extern "C" __attribute__((visibility("default")))

using namespace zot;

static_assert(std::is_same_v<ZOT_WCHAR, WChar>);
static_assert(sizeof(ZOT_FIND_DATA) == sizeof(FindRecord) && sizeof(ZOT_FIND_DATA) == 120);
static_assert(sizeof(ZOT_VERSION_INFO) == sizeof(VersionInfo));
static_assert(sizeof(ZOT_MEMORY_STATUS) == sizeof(MemoryStatus));
static_assert(sizeof(ZOT_POWER_STATUS) == sizeof(PowerStatus));
static_assert(sizeof(ZOT_STORE_INFORMATION) == sizeof(StoreInfo));
static_assert(sizeof(ZOT_SYSTEM_INFO) == sizeof(SystemInfo));

namespace {

CSession& Session();

struct Library {
    Library() {
        // A refusal costs the exports no request of its own: their callers get the
        // terminal's value and nothing more.
        session.SetExplainRefusals(false);
    }
    CSession session;
    std::atomic<bool> copyRunning{false};
};

Library& Lib() {
    static Library library;
    return library;
}

CSession& Session() {
    return Lib().session;
}

// The terminal's value when it answered, else the export's failure value. The system's last
// error says which (0 when the terminal answered; why, when it did not: a quiet terminal or a
// device that went away), which is how a caller tells a failed listing step from the end of a
// listing.
template <typename T>
int32_t Value(const Result<T>& r, int32_t failure) {
    switch (r.status.outcome) {
        case Outcome::kDone:
        case Outcome::kRefused:
            qs::SetLastSystemError(0);
            return static_cast<int32_t>(r.value);
        case Outcome::kNoAnswer:
            qs::SetLastSystemError(r.status.silence == Silence::kDeviceGone ? qs::DeviceGoneError()
                                   : r.status.silence == Silence::kNotOpen  ? Session().OpenError()
                                                                            : qs::NoAnswerError());
            break;
        case Outcome::kBadReply:
            break;
    }
    return failure;
}

// A record call: 1 and the record copied when it came, else 0.
template <typename T, typename Out>
int32_t Record(const Result<T>& r, Out* out) {
    static_assert(sizeof(T) == sizeof(Out));
    if (Value(Result<int32_t>{r.status, 1}, 0) == 0 || !r.Ok()) return 0;
    std::memcpy(static_cast<void*>(out), &r.value, sizeof(T));
    return 1;
}

// Wide path to the wire code page; refused (false) when null, unconvertible or too long.
bool WirePath(const ZOT_WCHAR* path, std::string* out) {
    return path && ToWire(WStringView(path, WLength(path)), out, kMaxPathBytes);
}

// ANSI argument to the wide form the W functions take: at most 255 characters.
bool Widen(const char* text, WString* out) {
    return text && FromWire(text, out, kMaxPathBytes);
}

template <typename F>
int32_t WithPath(const ZOT_WCHAR* path, int32_t failure, F call) {
    std::string wire;
    if (!WirePath(path, &wire)) return failure;
    return call(wire);
}

template <typename F>
int32_t WithWide(const char* text, int32_t failure, F call) {
    WString wide;
    if (!Widen(text, &wide)) return failure;
    return call(wide.c_str());
}

WStringView View(const ZOT_WCHAR* s) {
    return WStringView(s, WLength(s));
}

}  // namespace

// The reason a port did not open is set last, after everything that might touch errno.
ZOT_EXPORT int32_t ZOT_LumoInit(int32_t port, int32_t baudRate, int32_t compress) {
    const bool opened = Session().Open(port, baudRate, compress != 0).Ok();
    if (!opened) qs::SetLastSystemError(Session().OpenError());
    return opened ? 1 : 0;
}
ZOT_EXPORT int32_t ZOT_LumoUninit(void) {
    Session().Close();
    return 1;
}
ZOT_EXPORT int32_t ZOT_SetBaudrate(int32_t baudRate) {
    const bool opened = Session().SetBaud(baudRate).Ok();
    if (!opened) qs::SetLastSystemError(Session().OpenError());
    return opened ? 1 : 0;
}

ZOT_EXPORT int32_t ZOT_GetVersion(ZOT_VERSION_INFO* version) {
    return version ? Record(Session().Version(), version) : 0;
}
ZOT_EXPORT int32_t ZOT_GlobalMemoryStatus(ZOT_MEMORY_STATUS* status) {
    return status ? Record(Session().Memory(), status) : 0;
}
ZOT_EXPORT int32_t ZOT_GetSystemPowerStatus(ZOT_POWER_STATUS* status) {
    return status ? Record(Session().Power(), status) : 0;
}
ZOT_EXPORT int32_t ZOT_GetStoreInformation(ZOT_STORE_INFORMATION* info, int32_t store) {
    return info ? Record(Session().Store(store), info) : 0;
}
ZOT_EXPORT int32_t ZOT_GetSystemInfo(ZOT_SYSTEM_INFO* info) {
    return info ? Record(Session().System(), info) : 0;
}

ZOT_EXPORT int32_t ZOT_FindFirstFileW(const ZOT_WCHAR* pattern, ZOT_FIND_DATA* data) {
    if (!data) return -1;
    return WithPath(pattern, -1, [&](const std::string& p) {
        FindRecord record;
        const auto r = Session().FindFirst(p, &record);
        if (r.Ok()) std::memcpy(static_cast<void*>(data), &record, sizeof record);
        return Value(r, -1);
    });
}
ZOT_EXPORT int32_t ZOT_FindFirstFile(const char* pattern, ZOT_FIND_DATA* data) {
    return WithWide(pattern, -1, [&](const ZOT_WCHAR* w) { return ZOT_FindFirstFileW(w, data); });
}
ZOT_EXPORT int32_t ZOT_FindNextFile(int32_t find, ZOT_FIND_DATA* data) {
    if (!data) return 0;
    FindRecord record;
    const auto r = Session().FindNext(find, &record);
    if (r.Ok()) std::memcpy(static_cast<void*>(data), &record, sizeof record);
    return Value(r, 0);
}
ZOT_EXPORT int32_t ZOT_FindClose(int32_t find) {
    return Value(Session().FindClose(find), 0);
}

ZOT_EXPORT int32_t ZOT_GetFileAttributesW(const ZOT_WCHAR* path) {
    return WithPath(path, -1,
                    [](const std::string& p) { return Value(Session().Attributes(p), -1); });
}
ZOT_EXPORT int32_t ZOT_GetFileAttributes(const char* path) {
    return WithWide(path, -1, [](const ZOT_WCHAR* w) { return ZOT_GetFileAttributesW(w); });
}
ZOT_EXPORT int32_t ZOT_SetFileAttributesW(const ZOT_WCHAR* path, uint32_t attributes) {
    return WithPath(path, 0, [&](const std::string& p) {
        return Value(Session().SetAttributes(p, attributes), 0);
    });
}
ZOT_EXPORT int32_t ZOT_SetFileAttributes(const char* path, uint32_t attributes) {
    return WithWide(path, 0,
                    [&](const ZOT_WCHAR* w) { return ZOT_SetFileAttributesW(w, attributes); });
}

ZOT_EXPORT int32_t ZOT_CreateFileW(const ZOT_WCHAR* path, uint32_t access) {
    return WithPath(
        path, -1, [&](const std::string& p) { return Value(Session().CreateFile(p, access), -1); });
}
ZOT_EXPORT int32_t ZOT_CreateFile(const char* path, uint32_t access) {
    return WithWide(path, -1, [&](const ZOT_WCHAR* w) { return ZOT_CreateFileW(w, access); });
}
ZOT_EXPORT int32_t ZOT_OpenFileW(const ZOT_WCHAR* path, uint32_t mode) {
    return WithPath(path, -1,
                    [&](const std::string& p) { return Value(Session().OpenFile(p, mode), -1); });
}
ZOT_EXPORT int32_t ZOT_OpenFile(const char* path, uint32_t mode) {
    return WithWide(path, -1, [&](const ZOT_WCHAR* w) { return ZOT_OpenFileW(w, mode); });
}
ZOT_EXPORT int32_t ZOT_ReadFile(int32_t file, void* buffer, uint32_t count, uint32_t* done) {
    const auto r = Session().Read(file, buffer, count);
    if (done) *done = r.value;
    Value(r, 0);
    return r.Ok() && r.value == count ? 1 : 0;
}
ZOT_EXPORT int32_t ZOT_WriteFile(int32_t file, const void* data, uint32_t count, uint32_t* done) {
    const auto r = Session().Write(file, data, count);
    if (done) *done = r.value;
    Value(r, 0);
    return r.Ok() && r.value == count ? 1 : 0;
}
ZOT_EXPORT int32_t ZOT_CloseFile(int32_t file) {
    return Value(Session().CloseFile(file), 0);
}
ZOT_EXPORT int32_t ZOT_SetFilePointer(int32_t file, int32_t distance, uint32_t method) {
    return Value(Session().Seek(file, distance, method), 0);
}
ZOT_EXPORT int32_t ZOT_SetEndOfFile(int32_t file) {
    return Value(Session().SetEndOfFile(file), 0);
}
ZOT_EXPORT int32_t ZOT_GetFileSize(int32_t file) {
    const auto r = Session().FileSize(file);
    return r.Ok() ? static_cast<int32_t>(r.value) : Value(r, 0);
}
ZOT_EXPORT int32_t ZOT_GetFileTime(int32_t file, uint32_t* creation, uint32_t* access,
                                   uint32_t* write) {
    const auto r = Session().GetFileTime(file);
    const int32_t result = Value(Result<int32_t>{r.status, r.value.result}, 0);
    if (r.status.outcome == Outcome::kDone || r.status.outcome == Outcome::kRefused) {
        if (creation) *creation = r.value.creation;
        if (access) *access = r.value.access;
        if (write) *write = r.value.write;
    }
    return result;
}
ZOT_EXPORT int32_t ZOT_SetFileTime(int32_t file, const uint32_t* creation, const uint32_t* access,
                                   const uint32_t* write) {
    const auto r = Session().SetFileTime(file, creation, access, write);
    // Callers of this call have always been told success when the terminal stays silent.
    if (r.status.outcome == Outcome::kNoAnswer) return 1;
    return Value(r, 0);
}
ZOT_EXPORT int32_t ZOT_SetFilePosToPre(int32_t file, uint32_t sequence, uint32_t* value) {
    const auto r = Session().SetFilePosToPre(file, sequence);
    if (!r.Ok()) return Value(Result<int32_t>{r.status, 0}, 0);
    if (value) *value = r.value;
    return 1;
}

ZOT_EXPORT int32_t ZOT_CreateDirectoryW(const ZOT_WCHAR* path) {
    return WithPath(path, 0,
                    [](const std::string& p) { return Value(Session().CreateFolder(p), 0); });
}
ZOT_EXPORT int32_t ZOT_CreateDirectory(const char* path) {
    return WithWide(path, 0, [](const ZOT_WCHAR* w) { return ZOT_CreateDirectoryW(w); });
}
ZOT_EXPORT int32_t ZOT_RemoveDirectoryW(const ZOT_WCHAR* path) {
    return WithPath(path, 0,
                    [](const std::string& p) { return Value(Session().RemoveFolder(p), 0); });
}
ZOT_EXPORT int32_t ZOT_RemoveDirectory(const char* path) {
    return WithWide(path, 0, [](const ZOT_WCHAR* w) { return ZOT_RemoveDirectoryW(w); });
}
ZOT_EXPORT int32_t ZOT_DeleteFileW(const ZOT_WCHAR* path) {
    return WithPath(path, 0, [](const std::string& p) { return Value(Session().Delete(p), 0); });
}
ZOT_EXPORT int32_t ZOT_DeleteFile(const char* path) {
    return WithWide(path, 0, [](const ZOT_WCHAR* w) { return ZOT_DeleteFileW(w); });
}

ZOT_EXPORT int32_t ZOT_RingW(const ZOT_WCHAR* text) {
    std::string wire;
    if (!text || !ToWire(View(text), &wire, 260)) return 0;
    return Value(Session().Ring(wire), 0);
}
ZOT_EXPORT int32_t ZOT_Ring(const char* text) {
    return WithWide(text, 0, [](const ZOT_WCHAR* w) { return ZOT_RingW(w); });
}

ZOT_EXPORT int32_t ZOT_CopyFileW(const ZOT_WCHAR* source, const ZOT_WCHAR* destination,
                                 int32_t /*flag*/) {
    if (!source || !destination) return 0;
    return transfer::CopyFile(Session(), View(source), View(destination));
}
ZOT_EXPORT int32_t ZOT_CopyFile(const char* source, const char* destination, int32_t flag) {
    WString s, d;
    if (!Widen(source, &s) || !Widen(destination, &d)) return 0;
    return ZOT_CopyFileW(s.c_str(), d.c_str(), flag);
}
ZOT_EXPORT int32_t ZOT_CopyFileExW(const ZOT_WCHAR* source, const ZOT_WCHAR* destination,
                                   int32_t /*reserved*/, int32_t* status, int32_t* cancel,
                                   int32_t flags) {
    if (!source || !destination) return 0;
    return transfer::StartCopy(Session(), Lib().copyRunning, View(source), View(destination),
                               status, cancel, (flags & ZOT_COPY_RESUME) != 0,
                               (flags & ZOT_COPY_KEEP_TIME) != 0);
}
ZOT_EXPORT int32_t ZOT_CopyFileEx(const char* source, const char* destination, int32_t reserved,
                                  int32_t* status, int32_t* cancel, int32_t flags) {
    WString s, d;
    if (!Widen(source, &s) || !Widen(destination, &d)) return 0;
    return ZOT_CopyFileExW(s.c_str(), d.c_str(), reserved, status, cancel, flags);
}
ZOT_EXPORT int32_t ZOT_MoveFileW(const ZOT_WCHAR* source, const ZOT_WCHAR* destination) {
    if (!source || !destination) return 0;
    return transfer::MoveFile(Session(), View(source), View(destination));
}
ZOT_EXPORT int32_t ZOT_MoveFile(const char* source, const char* destination) {
    WString s, d;
    if (!Widen(source, &s) || !Widen(destination, &d)) return 0;
    return ZOT_MoveFileW(s.c_str(), d.c_str());
}
