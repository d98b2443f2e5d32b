#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>

#include "pc_file.h"

namespace zot::copy {
namespace {

// Paths come in UTF-8 and go to the wide API: names outside the ANSI code page open too.
bool WidePath(const std::string& path, std::wstring* out) {
    if (path.empty() || path.find('\0') != std::string::npos || path.size() > INT_MAX) return false;
    const int length = static_cast<int>(path.size());
    const int need =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), length, nullptr, 0);
    if (need <= 0) return false;
    out->resize(static_cast<size_t>(need));
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), length, out->data(),
                               need) == need;
}

HANDLE Handle(intptr_t native) {
    return reinterpret_cast<HANDLE>(native);
}

// ReadFile and WriteFile move at most a DWORD at a time and may move less than asked.
constexpr size_t kMaxStep = 1u << 30;

// An existing disk file with its size. Opening a named pipe or a device does not wait for the
// other end; GetFileType then tells a disk file from them. Only the 64-bit size is safe: the
// low 32 bits of a 4 GiB file would say "empty".
HANDLE OpenDiskFile(const std::string& path, DWORD access, DWORD share, uint64_t* size) {
    std::wstring p;
    if (!WidePath(path, &p)) return INVALID_HANDLE_VALUE;
    const HANDLE h = CreateFileW(p.c_str(), access, share, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return h;
    LARGE_INTEGER got{};
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileSizeEx(h, &got) || got.QuadPart < 0) {
        CloseHandle(h);
        return INVALID_HANDLE_VALUE;
    }
    *size = static_cast<uint64_t>(got.QuadPart);
    return h;
}

}  // namespace

std::unique_ptr<CPcFile> CPcFile::OpenSource(const std::string& path) {
    uint64_t size = 0;
    const HANDLE h = OpenDiskFile(path, GENERIC_READ, FILE_SHARE_READ, &size);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    return std::unique_ptr<CPcFile>(new CPcFile(reinterpret_cast<intptr_t>(h), size));
}

std::unique_ptr<CPcFile> CPcFile::CreateDestination(const std::string& path) {
    std::wstring p;
    if (!WidePath(path, &p)) return nullptr;
    const auto create = [&] {
        return CreateFileW(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    };
    HANDLE h = create();
    // An existing file is replaced: removed, then created anew once. DeleteFileW refuses
    // folders, so a folder of that name is never replaced.
    if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS && DeleteFileW(p.c_str()))
        h = create();
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    return std::unique_ptr<CPcFile>(new CPcFile(reinterpret_cast<intptr_t>(h), 0));
}

std::unique_ptr<CPcFile> CPcFile::OpenToContinue(const std::string& path) {
    uint64_t size = 0;
    const HANDLE h = OpenDiskFile(path, GENERIC_READ | GENERIC_WRITE, 0, &size);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    return std::unique_ptr<CPcFile>(new CPcFile(reinterpret_cast<intptr_t>(h), size));
}

bool CPcFile::SeekTo(uint64_t offset) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(Handle(m_handle), at, nullptr, FILE_BEGIN)) return false;
    m_written = offset;
    m_holeAtEnd = false;
    return true;
}

namespace {
// FILETIME counts 100 ns steps since 1601.
constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ull;
}  // namespace

uint32_t CPcFile::ModifiedTime() {
    FILETIME written{};
    if (!GetFileTime(Handle(m_handle), nullptr, nullptr, &written)) return 0;
    const uint64_t t = (uint64_t(written.dwHighDateTime) << 32) | written.dwLowDateTime;
    if (t <= kUnixEpochAsFileTime) return 0;
    const uint64_t seconds = (t - kUnixEpochAsFileTime) / 10000000ull;
    return seconds > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(seconds);
}

bool CPcFile::SetModifiedTime(uint32_t seconds) {
    const uint64_t t = uint64_t(seconds) * 10000000ull + kUnixEpochAsFileTime;
    FILETIME written{};
    written.dwLowDateTime = static_cast<DWORD>(t);
    written.dwHighDateTime = static_cast<DWORD>(t >> 32);
    return SetFileTime(Handle(m_handle), nullptr, nullptr, &written) != 0;
}

bool CPcFile::Remove(const std::string& path) {
    std::wstring p;
    return WidePath(path, &p) && DeleteFileW(p.c_str());
}

CPcFile::~CPcFile() {
    // A copy that ended early keeps its skipped zeros too.
    Finish();
    CloseHandle(Handle(m_handle));
}

size_t CPcFile::Read(uint8_t* buffer, size_t n) {
    size_t done = 0;
    while (done < n) {
        DWORD got = 0;
        const DWORD step = static_cast<DWORD>(std::min(n - done, kMaxStep));
        if (!ReadFile(Handle(m_handle), buffer + done, step, &got, nullptr) || got == 0) break;
        done += got;
    }
    return done;
}

size_t CPcFile::Write(const uint8_t* data, size_t n, const uint8_t*, size_t) {
    // Whole blocks of zeros are skipped as on POSIX; the file system fills the gap with zeros
    // when the file is extended past it.
    if (n == kBlock && std::all_of(data, data + n, [](uint8_t b) { return b == 0; })) {
        LARGE_INTEGER step{};
        step.QuadPart = static_cast<LONGLONG>(n);
        if (!SetFilePointerEx(Handle(m_handle), step, nullptr, FILE_CURRENT)) return 0;
        m_holeAtEnd = true;
        m_written += n;
        return n;
    }
    size_t done = 0;
    while (done < n) {
        DWORD put = 0;
        const DWORD step = static_cast<DWORD>(std::min(n - done, kMaxStep));
        if (!WriteFile(Handle(m_handle), data + done, step, &put, nullptr) || put == 0) break;
        done += put;
    }
    if (done > 0) m_holeAtEnd = false;
    m_written += done;
    return done;
}

bool CPcFile::Finish() {
    if (!m_holeAtEnd) return true;
    m_holeAtEnd = false;
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(m_written);
    return SetFilePointerEx(Handle(m_handle), end, nullptr, FILE_BEGIN) &&
           SetEndOfFile(Handle(m_handle));
}

}  // namespace zot::copy
