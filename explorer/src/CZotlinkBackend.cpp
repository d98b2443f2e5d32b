#include "CZotlinkBackend.h"

#include <zotlink.h>

#include <QThread>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>

#include "CDevicePath.h"
#include "CWireText.h"
#include "system_error.h"

namespace {

// The library's wide character is UTF-16 everywhere, but its C++ type is wchar_t on Windows.
using WideString = std::basic_string<ZOT_WCHAR>;

WideString Wide(const QString& s) {
    // Paths cross the boundary as at most 260 UTF-16 units.
    return WideString(reinterpret_cast<const ZOT_WCHAR*>(s.utf16()),
                      static_cast<size_t>(std::min<qsizetype>(s.size(), 260)));
}

// The whole path: one cut to a length would name another file.
WideString WholePath(const QString& s) {
    return WideString(reinterpret_cast<const ZOT_WCHAR*>(s.utf16()), static_cast<size_t>(s.size()));
}

IDeviceBackend::Entry ToEntry(const ZOT_FIND_DATA& d) {
    IDeviceBackend::Entry e;
    e.attributes = d.dwFileAttributes;
    e.timeMs = int64_t(d.dwTime) * 1000;
    e.size = d.nFileSize;
    e.name = CWireText::Decode(
        QByteArray(d.cFileName, static_cast<qsizetype>(strnlen(d.cFileName, sizeof d.cFileName))));
    return e;
}

}  // namespace

bool CZotlinkBackend::NoteFailure() {
    const bool silent = qs::LastSystemError() != 0;
    NoteLink(!silent);
    return silent;
}

bool CZotlinkBackend::Open(int port, int rate, bool compress) {
    const bool opened = ZOT_LumoInit(port, rate, compress ? 1 : 0) == 1;
    SetOpenError(opened ? 0 : qs::LastSystemError());
    return opened;
}

bool CZotlinkBackend::QueryVersion() {
    ZOT_VERSION_INFO v{};
    const bool ok = ZOT_GetVersion(&v) != 0;
    ok ? NoteAnswer() : void(NoteFailure());
    return ok;
}

void CZotlinkBackend::Close() {
    ZOT_LumoUninit();
}

bool CZotlinkBackend::StoreInfo(uint64_t* total, uint64_t* free) {
    ZOT_STORE_INFORMATION info{};
    const bool ok = ZOT_GetStoreInformation(&info, 1) != 0;
    ok ? NoteAnswer() : void(NoteFailure());
    *total = info.dwStoreSize;
    *free = info.dwFreeSize;
    return ok;
}

bool CZotlinkBackend::List(const QString& pattern,
                           const std::function<bool(const Entry&)>& onEntry) {
    const WideString w = Wide(pattern);
    ZOT_FIND_DATA data{};
    int32_t find = ZOT_FindFirstFileW(w.c_str(), &data);
    // A device that went away (a cable pulled, and perhaps plugged in again since) fails the
    // first call; the library opens it again on the next.
    if (find == -1 && qs::LastSystemError() == qs::DeviceGoneError())
        find = ZOT_FindFirstFileW(w.c_str(), &data);
    if (find == -1) {
        NoteFailure();
        return false;
    }
    NoteAnswer();
    bool more = onEntry(ToEntry(data));
    while (more) {
        std::memset(&data, 0, sizeof data);
        if (ZOT_FindNextFile(find, &data) == 0) {
            // The library leaves 0 in the system's last error at the end of a listing, and why
            // when a step got no answer: a listing cut short is no listing.
            if (NoteFailure()) {
                ZOT_FindClose(find);
                return false;
            }
            break;
        }
        more = onEntry(ToEntry(data));
    }
    ZOT_FindClose(find);
    return true;
}

bool CZotlinkBackend::Copy(const QString& src, const QString& dst, int32_t* status, int32_t* cancel,
                           bool resume) {
    const WideString from = WholePath(src), to = WholePath(dst);
    std::atomic_ref<int32_t> word(*status);
    word.store(0);
    const int32_t flags = 1 | ZOT_COPY_KEEP_TIME | (resume ? ZOT_COPY_RESUME : 0);
    if (ZOT_CopyFileExW(from.c_str(), to.c_str(), 0, status, cancel, flags) == 0) return false;
    // The library raises the word on its own thread; looking every millisecond notices a
    // file's end at once, where a long wait would idle for every small file.
    while (word.load() < ZOT_COPY_DONE) QThread::usleep(1000);
    const int32_t outcome = word.load();
    const bool terminal = CDevicePath::IsDevicePath(src) || CDevicePath::IsDevicePath(dst);
    if (!terminal || outcome == ZOT_COPY_CANCELLED) return true;
    if (outcome == ZOT_COPY_DONE) {
        NoteAnswer();
        return true;
    }
    // The copy's thread says only how it ended, not whether the terminal went quiet: one
    // question tells. A device that went away fails it at once.
    if (!QueryVersion()) word.store(kLineBroke);
    return true;
}

bool CZotlinkBackend::DeleteFile(const QString& devicePath) {
    const bool ok = ZOT_DeleteFileW(WholePath(devicePath).c_str()) != 0;
    ok ? NoteAnswer() : void(NoteFailure());
    return ok;
}

uint32_t CZotlinkBackend::Attributes(const QString& devicePath) {
    const auto a = static_cast<uint32_t>(ZOT_GetFileAttributesW(WholePath(devicePath).c_str()));
    a != kNoAttributes ? NoteAnswer() : void(NoteFailure());
    return a;
}

bool CZotlinkBackend::SetAttributes(const QString& devicePath, uint32_t attributes) {
    const bool ok = ZOT_SetFileAttributesW(WholePath(devicePath).c_str(), attributes) != 0;
    ok ? NoteAnswer() : void(NoteFailure());
    return ok;
}
