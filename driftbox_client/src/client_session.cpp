#include "client_session.h"

#include <atomic>
#include <cstdio>
#include <cstring>

#include "codepage.h"
#include "pc_file.h"
#include "remote_calls.h"

namespace driftbox {
namespace {

constexpr uint32_t kBlock = 2048;
constexpr uint32_t kReadWrite = 0xC0000000u;
constexpr int32_t kOpenReadWrite = 2;

enum Status {
    kDone = 100,
    kInterrupted = 101,
    kReadError = 102,
    kWriteError = 103,
    kCancelled = 104,
    kCreateError = 105,
};

void CopyName(const char* from, size_t length, char* to, size_t size) {
    const size_t n = std::min(length, size - 1);
    std::memcpy(to, from, n);
    to[n] = '\0';
}

void FromZotRecord(const ZOT_FIND_DATA& z, DRIFTBOX_FIND_DATA* out) {
    std::memset(out, 0, sizeof *out);
    out->dwAttributes = z.dwFileAttributes;
    out->llTimeMs = static_cast<int64_t>(z.dwTime) * 1000;
    out->ullSize = z.nFileSize;
    // The wire record's name may fill its 100 bytes without a terminator.
    CopyName(z.cFileName, strnlen(z.cFileName, sizeof z.cFileName), out->szName,
             sizeof out->szName);
}

// A local path in the PC's code page as the file layer takes it; empty when it does not convert.
zot::WString Wide(const std::string& localPath) {
    zot::WString wide;
    if (!zot::FromLocal(localPath, &wide, 32767)) wide.clear();
    return wide;
}

// Progress after block k of blocks, never 0 or 1 once data moved.
int32_t Percent(uint64_t k, uint64_t blocks) {
    const uint64_t p = blocks ? 100 * k / blocks : 0;
    return static_cast<int32_t>(p < 2 ? 2 : p);
}

}  // namespace

bool CClientSession::Start(const std::string& device, int baud, int32_t* error) {
    if (!m_app.LumoInitDevice(device, baud, 1)) {
        *error = 2;
        return false;
    }
    ZOT_VERSION_INFO v;
    if (!zot::calls::GetVersion(m_app, &v)) {
        m_app.LumoUninit();
        *error = 3;
        return false;
    }
    *error = 0;
    return true;
}

bool CClientSession::DevicePath(const std::string& name, std::string* wire) const {
    zot::WString wide;
    if (name.empty() || !zot::FromLocal(name, &wide, zot::kMaxPathBytes)) return false;
    static constexpr ZOT_WCHAR kRoot[] = {'Z', 'O', 'T', ':', '\\', 0};
    return zot::ToWire(kRoot + wide, wire, zot::kMaxPathBytes);
}

int CClientSession::Judge(int otherwise) {
    ZOT_VERSION_INFO v;
    return zot::calls::GetVersion(m_app, &v) ? otherwise : kInterrupted;
}

std::string CClientSession::ServerVersion() {
    ZOT_VERSION_INFO v;
    if (!zot::calls::GetVersion(m_app, &v)) return {};
    char text[100];
    std::snprintf(text, sizeof text, "%u.%u.%u", v.dwMajorVersion, v.dwMinorVersion,
                  v.dwBuildNumber);
    return text;
}

bool CClientSession::SystemInfo(DRIFTBOX_SYSTEM_INFO* info) {
    ZOT_SYSTEM_INFO s;
    if (!zot::calls::GetSystemInfo(m_app, &s)) return false;
    // The terminal's record opens with its description.
    const auto* text = reinterpret_cast<const char*>(s.data);
    CopyName(text, strnlen(text, sizeof s.data), info->szServerDescription,
             sizeof info->szServerDescription);
    return true;
}

bool CClientSession::FindOpen(const std::string& pattern, DRIFTBOX_FIND_DATA* data) {
    FindClose();
    std::string wire;
    if (!DevicePath(pattern, &wire)) return false;
    ZOT_FIND_DATA z{};
    m_find = zot::calls::FindFirstFile(m_app, wire, &z);
    if (m_find == -1 || z.cFileName[0] == '\0') return false;
    FromZotRecord(z, data);
    return true;
}

bool CClientSession::FindNext(DRIFTBOX_FIND_DATA* data) {
    if (m_find == -1) return false;
    ZOT_FIND_DATA z{};
    if (!zot::calls::FindNextFile(m_app, m_find, &z) || z.cFileName[0] == '\0') return false;
    FromZotRecord(z, data);
    return true;
}

void CClientSession::FindClose() {
    if (m_find == -1) return;
    zot::calls::FindClose(m_app, m_find);
    m_find = -1;
}

// Moves size bytes a block at a time with move(buffer, n, offset), which returns kDone or the
// failure; progress and cancel are looked at after each whole block.
template <typename Move>
int CClientSession::Pump(uint64_t size, int32_t& statusWord, int32_t& cancelWord, Move move) {
    std::atomic_ref<int32_t> status(statusWord);
    std::atomic_ref<int32_t> cancel(cancelWord);
    uint8_t buffer[kBlock];
    const uint64_t blocks = (size + kBlock - 1) / kBlock;
    for (uint64_t k = 0, offset = 0; offset < size; ++k) {
        const auto n = static_cast<uint32_t>(std::min<uint64_t>(kBlock, size - offset));
        if (const int r = move(buffer, n, offset); r != kDone) return r;
        offset += n;
        if (cancel.load() == 1) return kCancelled;
        status.store(Percent(k, blocks));
    }
    return kDone;
}

int CClientSession::Send(const std::string& localPath, const std::string& deviceName,
                         int32_t* statusWord, int32_t* cancelWord) {
    const std::unique_ptr<zot::CPcFile> file = zot::CPcFile::OpenSource(Wide(localPath));
    // A terminal file cannot hold more than its 32-bit size.
    if (!file || file->Size() > 0xFFFFFFFFull) return kReadError;
    const uint64_t size = file->Size();
    std::string wire;
    int32_t h = -1;
    if (DevicePath(deviceName, &wire)) {
        h = zot::calls::CreateFile(m_app, wire, kReadWrite);
        if (h == -1 && zot::calls::DeleteFile(m_app, wire))
            h = zot::calls::CreateFile(m_app, wire, kReadWrite);
    }
    if (h == -1) {
        return wire.empty() ? kCreateError : Judge(kCreateError);
    }
    const int result = Pump(
        size, *statusWord, *cancelWord, [&](uint8_t* buffer, uint32_t n, uint64_t) -> int {
            // Blocks come in order, so reading on from the last one is reading at offset.
            if (file->Read(buffer, n) != n) return kReadError;
            uint32_t written = 0;
            return zot::calls::WriteFile(m_app, h, buffer, n, &written) ? kDone
                                                                        : Judge(kWriteError);
        });
    zot::calls::CloseFile(m_app, h);
    return result;
}

int CClientSession::Receive(const std::string& deviceName, const std::string& localPath,
                            int32_t* statusWord, int32_t* cancelWord) {
    std::string wire;
    if (!DevicePath(deviceName, &wire)) return kReadError;
    const int32_t h = zot::calls::OpenFile(m_app, wire, kOpenReadWrite);
    uint32_t size = 0;
    if (h == -1) return Judge(kReadError);
    if (!zot::calls::GetFileSize(m_app, h, &size)) {
        zot::calls::CloseFile(m_app, h);
        return Judge(kReadError);
    }
    const std::unique_ptr<zot::CPcFile> file = zot::CPcFile::CreateDestination(Wide(localPath));
    if (!file) {
        zot::calls::CloseFile(m_app, h);
        return kCreateError;
    }
    const int result =
        Pump(size, *statusWord, *cancelWord, [&](uint8_t* buffer, uint32_t n, uint64_t) -> int {
            uint32_t got = 0;
            if (!zot::calls::ReadFile(m_app, h, buffer, n, &got)) return Judge(kReadError);
            return file->Write(buffer, n) == n ? kDone : kWriteError;
        });
    zot::calls::CloseFile(m_app, h);
    return result;
}

bool CClientSession::Delete(const std::string& deviceName) {
    std::string wire;
    return DevicePath(deviceName, &wire) && zot::calls::DeleteFile(m_app, wire) != 0;
}

bool CClientSession::StoreBytes(int64_t* freeBytes, int64_t* totalBytes) {
    ZOT_STORE_INFORMATION s;
    if (!zot::calls::GetStoreInformation(m_app, &s, 1)) return false;
    if (freeBytes) *freeBytes = s.dwFreeSize;
    if (totalBytes) *totalBytes = s.dwStoreSize;
    return true;
}

}  // namespace driftbox
