#include "client_session.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "codepage.h"
#include "copy/pc_file.h"
#include "remote_calls.h"
#include "terminal_file.h"

namespace driftbox {
namespace {

using zot::copy::CPcFile;
// What a terminal's 32-bit file size can hold.
constexpr uint64_t kTerminalMaxSize = 0xFFFFFFFFull;
constexpr size_t kMaxPcPathBytes = 4096;

// A path from the C boundary (the locale's text) as the PC file end takes it; empty when it
// does not convert, which no file opens under.
std::string PcPath(const std::string& localPath) {
    std::string path;
    if (!zot::LocalToPcPath(localPath, &path, kMaxPcPathBytes)) path.clear();
    return path;
}

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
    // ZOT_WCHAR is wchar_t on Windows and char16_t elsewhere: no one literal type fits both.
    static constexpr ZOT_WCHAR kRoot[] = {'Z', 'O', 'T', ':', '\\', 0};
    return zot::ToWire(kRoot + wide, wire, zot::kMaxPathBytes);
}

int CClientSession::Judge(int otherwise) {
    ZOT_VERSION_INFO v;
    return zot::calls::GetVersion(m_app, &v) ? otherwise : zot::copy::kInterrupted;
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

int CClientSession::Send(const std::string& localPath, const std::string& deviceName,
                         int32_t* statusWord, int32_t* cancelWord) {
    const auto in = CPcFile::OpenSource(PcPath(localPath));
    if (!in || in->Size() > kTerminalMaxSize) return zot::copy::kReadFailed;
    std::string wire;
    if (!DevicePath(deviceName, &wire)) return zot::copy::kCreateFailed;
    const auto out = zot::CTerminalFile::CreateDestination(m_app, wire);
    if (!out) return Judge(zot::copy::kCreateFailed);
    const int result = zot::copy::Copy(*in, *out, statusWord, cancelWord);
    // Only the terminal's side can have been interrupted.
    return result == zot::copy::kWriteFailed ? Judge(result) : result;
}

int CClientSession::Receive(const std::string& deviceName, const std::string& localPath,
                            int32_t* statusWord, int32_t* cancelWord) {
    std::string wire;
    if (!DevicePath(deviceName, &wire)) return zot::copy::kReadFailed;
    const auto in = zot::CTerminalFile::OpenSource(m_app, wire);
    if (!in) return Judge(zot::copy::kReadFailed);
    const auto out = CPcFile::CreateDestination(PcPath(localPath));
    if (!out) return zot::copy::kCreateFailed;
    const int result = zot::copy::Copy(*in, *out, statusWord, cancelWord);
    return result == zot::copy::kReadFailed ? Judge(result) : result;
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
