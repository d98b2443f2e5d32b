#include "CZotlinkBackend.h"

#include <zotlink.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "CWireText.h"

namespace {

std::u16string Wide(const QString& s) {
    // Paths cross the boundary as at most 260 UTF-16 units.
    return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()),
                          static_cast<size_t>(std::min<qsizetype>(s.size(), 260)));
}

IDeviceBackend::Entry ToEntry(const ZOT_FIND_DATA& d) {
    IDeviceBackend::Entry e;
    e.attributes = d.dwFileAttributes;
    e.time = d.dwTime;
    e.size = d.nFileSize;
    e.name = CWireText::Decode(
        QByteArray(d.cFileName, static_cast<qsizetype>(strnlen(d.cFileName, sizeof d.cFileName))));
    return e;
}

}  // namespace

bool CZotlinkBackend::Open(int port, int rate, bool compress) {
    return ZOT_LumoInit(port, rate, compress ? 1 : 0) == 1;
}

bool CZotlinkBackend::QueryVersion() {
    ZOT_VERSION_INFO v{};
    return ZOT_GetVersion(&v) != 0;
}

void CZotlinkBackend::Close() {
    ZOT_LumoUninit();
}

bool CZotlinkBackend::StoreInfo(uint64_t* total, uint64_t* free) {
    ZOT_STORE_INFORMATION info{};
    const bool ok = ZOT_GetStoreInformation(&info, 1) != 0;
    *total = info.dwStoreSize;
    *free = info.dwFreeSize;
    return ok;
}

bool CZotlinkBackend::List(const QString& pattern,
                           const std::function<bool(const Entry&)>& onEntry) {
    const std::u16string w = Wide(pattern);
    ZOT_FIND_DATA data{};
    const int32_t find = ZOT_FindFirstFileW(w.c_str(), &data);
    if (find == -1) return false;
    bool more = onEntry(ToEntry(data));
    while (more) {
        std::memset(&data, 0, sizeof data);
        if (ZOT_FindNextFile(find, &data) == 0) break;
        more = onEntry(ToEntry(data));
    }
    ZOT_FindClose(find);
    return true;
}
