#include "terminal_file.h"

#include "remote_calls.h"

namespace zot {
namespace {
constexpr uint32_t kReadWriteAccess = kAccessRead | kAccessWrite;
}  // namespace

std::unique_ptr<CTerminalFile> CTerminalFile::OpenSource(CRemoteApp& app, const std::string& path) {
    const int32_t h = calls::OpenFile(app, path, kOpenReadWrite);
    if (h == -1) return nullptr;
    uint32_t size = 0;
    // A size that cannot be read must not pass for an empty file.
    if (!calls::GetFileSize(app, h, &size)) {
        calls::CloseFile(app, h);
        return nullptr;
    }
    return std::unique_ptr<CTerminalFile>(new CTerminalFile(app, h, size));
}

std::unique_ptr<CTerminalFile> CTerminalFile::CreateDestination(CRemoteApp& app,
                                                                const std::string& path) {
    int32_t h = calls::CreateFile(app, path, kReadWriteAccess);
    if (h == -1) {
        if (!calls::DeleteFile(app, path)) return nullptr;
        h = calls::CreateFile(app, path, kReadWriteAccess);
        if (h == -1) return nullptr;
    }
    return std::unique_ptr<CTerminalFile>(new CTerminalFile(app, h, 0));
}

std::unique_ptr<CTerminalFile> CTerminalFile::OpenToContinue(CRemoteApp& app,
                                                             const std::string& path) {
    // Opened as a source is: the same handle reads the last block back and writes on.
    return OpenSource(app, path);
}

bool CTerminalFile::SeekTo(uint64_t offset) {
    if (offset > 0x7FFFFFFF) return false;
    const int at = calls::SetFilePointer(m_app, m_handle, static_cast<int32_t>(offset), kSeekBegin);
    return static_cast<uint64_t>(static_cast<uint32_t>(at)) == offset;
}

uint32_t CTerminalFile::ModifiedTime() {
    uint32_t creation = 0, access = 0, write = 0;
    return calls::GetFileTime(m_app, m_handle, &creation, &access, &write) ? write : 0;
}

bool CTerminalFile::SetModifiedTime(uint32_t seconds) {
    return calls::SetFileTime(m_app, m_handle, nullptr, nullptr, &seconds) != 0;
}

CTerminalFile::~CTerminalFile() {
    calls::CloseFile(m_app, m_handle);
}

size_t CTerminalFile::Read(uint8_t* buffer, size_t n) {
    uint32_t got = 0;
    calls::ReadFile(m_app, m_handle, buffer, static_cast<uint32_t>(n), &got);
    return got;
}

size_t CTerminalFile::Write(const uint8_t* data, size_t n, const uint8_t* next, size_t nextLength) {
    uint32_t done = 0;
    calls::WriteFile(m_app, m_handle, data, static_cast<uint32_t>(n), &done, next,
                     static_cast<uint32_t>(nextLength));
    return done;
}

}  // namespace zot
