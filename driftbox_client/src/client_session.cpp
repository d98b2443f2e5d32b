#include "client_session.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>

#include "block_copy.h"
#include "codepage.h"
#include "system_error.h"

namespace driftbox {
namespace {

constexpr size_t kMaxPcPathBytes = 4096;
constexpr size_t kMaxWirePathBytes = 255;
// The transfer status of a copy whose terminal stopped answering.
constexpr int kInterrupted = 101;

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

void FromZotRecord(const zot::FindRecord& z, DRIFTBOX_FIND_DATA* out) {
    std::memset(out, 0, sizeof *out);
    out->dwAttributes = z.attributes;
    out->llTimeMs = static_cast<int64_t>(z.time) * 1000;
    out->ullSize = z.size;
    // The wire record's name may fill its 100 bytes without a terminator.
    const std::string_view name = z.Name();
    CopyName(name.data(), name.size(), out->szName, sizeof out->szName);
}

// Leaves in the system's last error whether the terminal answered: 0 when it did, why when
// it did not (a quiet terminal, a device that went away), as the other library does.
template <typename R>
const R& Told(const R& r) {
    const zot::Status& s = r.status;
    qs::SetLastSystemError(s.outcome != zot::Outcome::kNoAnswer     ? 0
                           : s.silence == zot::Silence::kDeviceGone ? qs::DeviceGoneError()
                                                                    : qs::NoAnswerError());
    return r;
}

}  // namespace

bool CClientSession::Start(const std::string& device, int baud, int32_t* error) {
    if (!m_session.OpenDevice(device, baud, true)) {
        *error = 2;
        return false;
    }
    if (!m_session.Version()) {
        m_session.Close();
        *error = 3;
        return false;
    }
    *error = 0;
    return true;
}

bool CClientSession::DevicePath(const std::string& name, std::string* wire) const {
    zot::WString wide;
    if (name.empty() || !zot::FromLocal(name, &wide, kMaxWirePathBytes)) return false;
    // WChar is wchar_t on Windows and char16_t elsewhere: no one literal type fits both.
    static constexpr zot::WChar kRoot[] = {'Z', 'O', 'T', ':', '\\', 0};
    return zot::ToWire(kRoot + wide, wire, kMaxWirePathBytes);
}

std::string CClientSession::ServerVersion() {
    const auto v = Told(m_session.Version());
    if (!v) return {};
    char text[100];
    std::snprintf(text, sizeof text, "%u.%u.%u", v.value.major, v.value.minor, v.value.build);
    return text;
}

bool CClientSession::SystemInfo(DRIFTBOX_SYSTEM_INFO* info) {
    const auto s = Told(m_session.System());
    if (!s) return false;
    // The terminal's record opens with its description.
    const auto* text = reinterpret_cast<const char*>(s.value.data());
    CopyName(text, strnlen(text, s.value.size()), info->szServerDescription,
             sizeof info->szServerDescription);
    return true;
}

bool CClientSession::FindOpen(const std::string& pattern, DRIFTBOX_FIND_DATA* data) {
    FindClose();
    std::string wire;
    if (!DevicePath(pattern, &wire)) return false;
    zot::FindRecord z;
    const auto first = Told(m_session.FindFirst(wire, &z));
    m_find = first.Ok() ? first.value : -1;
    if (m_find == -1 || z.name[0] == '\0') return false;
    FromZotRecord(z, data);
    return true;
}

bool CClientSession::FindNext(DRIFTBOX_FIND_DATA* data) {
    if (m_find == -1) return false;
    zot::FindRecord z;
    const auto next = Told(m_session.FindNext(m_find, &z));
    if (!next || next.value == 0 || z.name[0] == '\0') return false;
    FromZotRecord(z, data);
    return true;
}

void CClientSession::FindClose() {
    if (m_find == -1) return;
    m_session.FindClose(m_find);
    m_find = -1;
}

int CClientSession::Transfer(const zot::CopyEnd& from, const zot::CopyEnd& to, int32_t* statusWord,
                             int32_t* cancelWord, int32_t flags) {
    zot::CopyControl control;
    control.resume = (flags & DRIFTBOX_TRANSFER_RESUME) != 0;
    control.keepTime = (flags & DRIFTBOX_TRANSFER_KEEP_TIME) != 0;
    control.progress = [statusWord](uint64_t i, uint64_t blocks, uint64_t) {
        std::atomic_ref<int32_t>(*statusWord).store(zot::copy::Percent(i, blocks));
    };
    control.cancelled = [cancelWord] { return std::atomic_ref<int32_t>(*cancelWord).load() == 1; };
    const zot::CopyResult r = m_session.Copy(from, to, control);
    // A failure of the terminal's side because it stopped answering is an interruption.
    if (r.code != zot::kCopyDone && r.code != zot::kCopyCancelled &&
        r.status.outcome == zot::Outcome::kNoAnswer)
        return kInterrupted;
    return r.code;
}

int CClientSession::Send(const std::string& localPath, const std::string& deviceName,
                         int32_t* statusWord, int32_t* cancelWord, int32_t flags) {
    zot::CopyEnd to{true, {}};
    // An inexpressible name is created nowhere; the source is still opened first.
    if (!DevicePath(deviceName, &to.path)) to = zot::CopyEnd{};
    return Transfer(zot::CopyEnd{false, PcPath(localPath)}, to, statusWord, cancelWord, flags);
}

int CClientSession::Receive(const std::string& deviceName, const std::string& localPath,
                            int32_t* statusWord, int32_t* cancelWord, int32_t flags) {
    zot::CopyEnd from{true, {}};
    if (!DevicePath(deviceName, &from.path)) return zot::kCopyReadFailed;
    return Transfer(from, zot::CopyEnd{false, PcPath(localPath)}, statusWord, cancelWord, flags);
}

bool CClientSession::Delete(const std::string& deviceName) {
    std::string wire;
    return DevicePath(deviceName, &wire) && Told(m_session.Delete(wire)).Ok();
}

bool CClientSession::StoreBytes(int64_t* freeBytes, int64_t* totalBytes) {
    const auto s = Told(m_session.Store(1));
    if (!s) return false;
    if (freeBytes) *freeBytes = s.value.free;
    if (totalBytes) *totalBytes = s.value.size;
    return true;
}

}  // namespace driftbox
