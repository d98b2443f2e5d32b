#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cctype>
#include <csignal>
#include <cstdio>

#include "platform.h"
#include "text.h"

namespace zotcli {
namespace {

// FILETIME counts 100 ns steps since 1601.
constexpr uint64_t kEpochDifference = 116444736000000000ull;

timespec ToTimespec(const FILETIME& ft) {
    const uint64_t t = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    timespec ts{};
    if (t < kEpochDifference) return ts;
    ts.tv_sec = static_cast<time_t>((t - kEpochDifference) / 10000000u);
    ts.tv_nsec = static_cast<long>((t - kEpochDifference) % 10000000u * 100u);
    return ts;
}

FILETIME ToFiletime(const timespec& ts) {
    const uint64_t t = kEpochDifference + static_cast<uint64_t>(ts.tv_sec) * 10000000u +
                       static_cast<uint64_t>(ts.tv_nsec) / 100u;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(t);
    ft.dwHighDateTime = static_cast<DWORD>(t >> 32);
    return ft;
}

}  // namespace

std::filesystem::path PcPath(const std::string& localText) {
    const zot::WString wide = Widen(localText);
    return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
}

std::string PcFolderName(const std::string& name) {
    // The reserved names stay devices with any extension, in any case.
    std::string stem = name.substr(0, name.find('.'));
    for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const bool numbered = stem.size() == 4 &&
                          (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
                          stem[3] >= '1' && stem[3] <= '9';
    const bool reserved =
        numbered || stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL";
    return reserved ? name + "_" : name;
}

bool StderrIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

bool StderrTakesEscapes() {
    if (!StderrIsTerminal()) return false;
    const HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (!GetConsoleMode(console, &mode)) return false;
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) ||
           SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

void BinaryStandardStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

void OnInterruptSignals(void (*handler)(int)) {
    // The C runtime turns Ctrl-C and Ctrl-Break of the console into SIGINT.
    std::signal(SIGINT, handler);
    std::signal(SIGTERM, handler);
}

bool StatPc(const std::string& path, PcStat* out, bool followLinks) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(PcPath(path).c_str(), GetFileExInfoStandard, &data)) return false;
    const bool link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    const bool dir = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (link && !followLinks) {
        *out = PcStat{};
        return true;
    }
    out->isDirectory = dir;
    out->isRegular = !dir && (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) == 0;
    out->size = dir ? 0 : (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    out->modified = ToTimespec(data.ftLastWriteTime);
    return true;
}

void SetPcTimes(const std::string& path, const timespec& time) {
    const HANDLE h =
        CreateFileW(PcPath(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    const FILETIME ft = ToFiletime(time);
    SetFileTime(h, nullptr, &ft, &ft);
    CloseHandle(h);
}

}  // namespace zotcli
