// The C boundary: argument checks and string conversion over the one process-wide session.
#include "codepage.h"
#include "file_transfer.h"
#include "remote_app.h"
#include "remote_calls.h"
#include "system_error.h"
#include "zotlink.h"

#define ZOT_EXPORT extern "C" __attribute__((visibility("default")))

using namespace zot;

namespace {

CRemoteApp& App() {
    static CRemoteApp app;
    return app;
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
    const int32_t opened = App().LumoInit(port, baudRate, compress);
    if (!opened) qs::SetLastSystemError(App().OpenError());
    return opened;
}
ZOT_EXPORT int32_t ZOT_LumoUninit(void) {
    return App().LumoUninit();
}
ZOT_EXPORT int32_t ZOT_SetBaudrate(int32_t baudRate) {
    const int32_t opened = App().SetBaudrate(baudRate);
    if (!opened) qs::SetLastSystemError(App().OpenError());
    return opened;
}

ZOT_EXPORT int32_t ZOT_GetVersion(ZOT_VERSION_INFO* version) {
    return calls::GetVersion(App(), version);
}
ZOT_EXPORT int32_t ZOT_GlobalMemoryStatus(ZOT_MEMORY_STATUS* status) {
    return calls::GlobalMemoryStatus(App(), status);
}
ZOT_EXPORT int32_t ZOT_GetSystemPowerStatus(ZOT_POWER_STATUS* status) {
    return calls::GetSystemPowerStatus(App(), status);
}
ZOT_EXPORT int32_t ZOT_GetStoreInformation(ZOT_STORE_INFORMATION* info, int32_t store) {
    return calls::GetStoreInformation(App(), info, store);
}
ZOT_EXPORT int32_t ZOT_GetSystemInfo(ZOT_SYSTEM_INFO* info) {
    return calls::GetSystemInfo(App(), info);
}

ZOT_EXPORT int32_t ZOT_FindFirstFileW(const ZOT_WCHAR* pattern, ZOT_FIND_DATA* data) {
    return WithPath(pattern, -1,
                    [&](const std::string& p) { return calls::FindFirstFile(App(), p, data); });
}
ZOT_EXPORT int32_t ZOT_FindFirstFile(const char* pattern, ZOT_FIND_DATA* data) {
    return WithWide(pattern, -1, [&](const ZOT_WCHAR* w) { return ZOT_FindFirstFileW(w, data); });
}
ZOT_EXPORT int32_t ZOT_FindNextFile(int32_t find, ZOT_FIND_DATA* data) {
    return calls::FindNextFile(App(), find, data);
}
ZOT_EXPORT int32_t ZOT_FindClose(int32_t find) {
    return calls::FindClose(App(), find);
}

ZOT_EXPORT int32_t ZOT_GetFileAttributesW(const ZOT_WCHAR* path) {
    return WithPath(path, -1,
                    [](const std::string& p) { return calls::GetFileAttributes(App(), p); });
}
ZOT_EXPORT int32_t ZOT_GetFileAttributes(const char* path) {
    return WithWide(path, -1, [](const ZOT_WCHAR* w) { return ZOT_GetFileAttributesW(w); });
}
ZOT_EXPORT int32_t ZOT_SetFileAttributesW(const ZOT_WCHAR* path, uint32_t attributes) {
    return WithPath(path, 0, [&](const std::string& p) {
        return calls::SetFileAttributes(App(), p, attributes);
    });
}
ZOT_EXPORT int32_t ZOT_SetFileAttributes(const char* path, uint32_t attributes) {
    return WithWide(path, 0,
                    [&](const ZOT_WCHAR* w) { return ZOT_SetFileAttributesW(w, attributes); });
}

ZOT_EXPORT int32_t ZOT_CreateFileW(const ZOT_WCHAR* path, uint32_t access) {
    return WithPath(path, -1,
                    [&](const std::string& p) { return calls::CreateFile(App(), p, access); });
}
ZOT_EXPORT int32_t ZOT_CreateFile(const char* path, uint32_t access) {
    return WithWide(path, -1, [&](const ZOT_WCHAR* w) { return ZOT_CreateFileW(w, access); });
}
ZOT_EXPORT int32_t ZOT_OpenFileW(const ZOT_WCHAR* path, uint32_t mode) {
    return WithPath(path, -1,
                    [&](const std::string& p) { return calls::OpenFile(App(), p, mode); });
}
ZOT_EXPORT int32_t ZOT_OpenFile(const char* path, uint32_t mode) {
    return WithWide(path, -1, [&](const ZOT_WCHAR* w) { return ZOT_OpenFileW(w, mode); });
}
ZOT_EXPORT int32_t ZOT_ReadFile(int32_t file, void* buffer, uint32_t count, uint32_t* done) {
    return calls::ReadFile(App(), file, buffer, count, done);
}
ZOT_EXPORT int32_t ZOT_WriteFile(int32_t file, const void* data, uint32_t count, uint32_t* done) {
    return calls::WriteFile(App(), file, data, count, done);
}
ZOT_EXPORT int32_t ZOT_CloseFile(int32_t file) {
    return calls::CloseFile(App(), file);
}
ZOT_EXPORT int32_t ZOT_SetFilePointer(int32_t file, int32_t distance, uint32_t method) {
    return calls::SetFilePointer(App(), file, distance, method);
}
ZOT_EXPORT int32_t ZOT_SetEndOfFile(int32_t file) {
    return calls::SetEndOfFile(App(), file);
}
ZOT_EXPORT int32_t ZOT_GetFileSize(int32_t file) {
    return calls::GetFileSize(App(), file);
}
ZOT_EXPORT int32_t ZOT_GetFileTime(int32_t file, uint32_t* creation, uint32_t* access,
                                   uint32_t* write) {
    return calls::GetFileTime(App(), file, creation, access, write);
}
ZOT_EXPORT int32_t ZOT_SetFileTime(int32_t file, const uint32_t* creation, const uint32_t* access,
                                   const uint32_t* write) {
    return calls::SetFileTime(App(), file, creation, access, write);
}
ZOT_EXPORT int32_t ZOT_SetFilePosToPre(int32_t file, uint32_t sequence, uint32_t* value) {
    return calls::SetFilePosToPre(App(), file, sequence, value);
}

ZOT_EXPORT int32_t ZOT_CreateDirectoryW(const ZOT_WCHAR* path) {
    return WithPath(path, 0, [](const std::string& p) { return calls::CreateDirectory(App(), p); });
}
ZOT_EXPORT int32_t ZOT_CreateDirectory(const char* path) {
    return WithWide(path, 0, [](const ZOT_WCHAR* w) { return ZOT_CreateDirectoryW(w); });
}
ZOT_EXPORT int32_t ZOT_RemoveDirectoryW(const ZOT_WCHAR* path) {
    return WithPath(path, 0, [](const std::string& p) { return calls::RemoveDirectory(App(), p); });
}
ZOT_EXPORT int32_t ZOT_RemoveDirectory(const char* path) {
    return WithWide(path, 0, [](const ZOT_WCHAR* w) { return ZOT_RemoveDirectoryW(w); });
}
ZOT_EXPORT int32_t ZOT_DeleteFileW(const ZOT_WCHAR* path) {
    return WithPath(path, 0, [](const std::string& p) { return calls::DeleteFile(App(), p); });
}
ZOT_EXPORT int32_t ZOT_DeleteFile(const char* path) {
    return WithWide(path, 0, [](const ZOT_WCHAR* w) { return ZOT_DeleteFileW(w); });
}

ZOT_EXPORT int32_t ZOT_RingW(const ZOT_WCHAR* text) {
    std::string wire;
    if (!text || !ToWire(View(text), &wire, 260)) return 0;
    return calls::Ring(App(), wire);
}
ZOT_EXPORT int32_t ZOT_Ring(const char* text) {
    return WithWide(text, 0, [](const ZOT_WCHAR* w) { return ZOT_RingW(w); });
}

ZOT_EXPORT int32_t ZOT_CopyFileW(const ZOT_WCHAR* source, const ZOT_WCHAR* destination,
                                 int32_t /*flag*/) {
    if (!source || !destination) return 0;
    return transfer::CopyFile(App(), View(source), View(destination));
}
ZOT_EXPORT int32_t ZOT_CopyFile(const char* source, const char* destination, int32_t flag) {
    WString s, d;
    if (!Widen(source, &s) || !Widen(destination, &d)) return 0;
    return ZOT_CopyFileW(s.c_str(), d.c_str(), flag);
}
ZOT_EXPORT int32_t ZOT_CopyFileExW(const ZOT_WCHAR* source, const ZOT_WCHAR* destination,
                                   int32_t /*reserved*/, int32_t* status, int32_t* cancel,
                                   int32_t /*flags*/) {
    if (!source || !destination) return 0;
    return transfer::StartCopy(App(), View(source), View(destination), status, cancel);
}
ZOT_EXPORT int32_t ZOT_CopyFileEx(const char* source, const char* destination, int32_t reserved,
                                  int32_t* status, int32_t* cancel, int32_t flags) {
    WString s, d;
    if (!Widen(source, &s) || !Widen(destination, &d)) return 0;
    return ZOT_CopyFileExW(s.c_str(), d.c_str(), reserved, status, cancel, flags);
}
ZOT_EXPORT int32_t ZOT_MoveFileW(const ZOT_WCHAR* source, const ZOT_WCHAR* destination) {
    if (!source || !destination) return 0;
    return transfer::MoveFile(App(), View(source), View(destination));
}
ZOT_EXPORT int32_t ZOT_MoveFile(const char* source, const char* destination) {
    WString s, d;
    if (!Widen(source, &s) || !Widen(destination, &d)) return 0;
    return ZOT_MoveFileW(s.c_str(), d.c_str());
}
