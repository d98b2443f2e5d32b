#include <windows.h>

#include <algorithm>
#include <string>

#include "pc_file.h"

namespace zot {
namespace {

// The wide API takes the path as it came: names outside the ANSI code page still open.
bool WidePath(WStringView path, std::wstring* out) {
    if (path.empty() || path.find(L'\0') != WStringView::npos) return false;
    out->assign(path.begin(), path.end());
    return true;
}

HANDLE Handle(intptr_t native) {
    return reinterpret_cast<HANDLE>(native);
}

// ReadFile and WriteFile move at most a DWORD at a time and may move less than asked.
constexpr size_t kMaxStep = 1u << 30;

}  // namespace

std::unique_ptr<CPcFile> CPcFile::OpenSource(WStringView path) {
    std::wstring p;
    if (!WidePath(path, &p)) return nullptr;
    const HANDLE h = CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    // Only the 64-bit size is safe: the low 32 bits of a 4 GiB file would say "empty".
    LARGE_INTEGER size{};
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileSizeEx(h, &size) || size.QuadPart < 0) {
        CloseHandle(h);
        return nullptr;
    }
    return std::unique_ptr<CPcFile>(
        new CPcFile(reinterpret_cast<intptr_t>(h), static_cast<uint64_t>(size.QuadPart)));
}

std::unique_ptr<CPcFile> CPcFile::CreateDestination(WStringView path) {
    std::wstring p;
    if (!WidePath(path, &p)) return nullptr;
    const auto create = [&] {
        return CreateFileW(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    };
    HANDLE h = create();
    if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) {
        // DeleteFileW refuses folders, so a folder of that name is never replaced.
        if (!DeleteFileW(p.c_str())) return nullptr;
        h = create();
    }
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    return std::unique_ptr<CPcFile>(new CPcFile(reinterpret_cast<intptr_t>(h), 0));
}

bool CPcFile::Delete(WStringView path) {
    std::wstring p;
    return WidePath(path, &p) && DeleteFileW(p.c_str());
}

CPcFile::~CPcFile() {
    CloseHandle(Handle(m_native));
}

size_t CPcFile::Read(uint8_t* buffer, size_t n) {
    size_t done = 0;
    while (done < n) {
        DWORD got = 0;
        const DWORD step = static_cast<DWORD>(std::min(n - done, kMaxStep));
        if (!ReadFile(Handle(m_native), buffer + done, step, &got, nullptr) || got == 0) break;
        done += got;
    }
    return done;
}

size_t CPcFile::Write(const uint8_t* data, size_t n) {
    size_t done = 0;
    while (done < n) {
        DWORD put = 0;
        const DWORD step = static_cast<DWORD>(std::min(n - done, kMaxStep));
        if (!WriteFile(Handle(m_native), data + done, step, &put, nullptr) || put == 0) break;
        done += put;
    }
    return done;
}

}  // namespace zot
