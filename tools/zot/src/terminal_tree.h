#pragma once
// Folders on the terminal and on the PC, walked the same way for recursive copies and sync.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zotcli {

struct Entry {
    std::string relative;  // below the folder walked, "/" between components
    uint64_t size = 0;
    uint32_t time = 0;  // seconds since 1970 UTC, 0 unknown
    uint32_t attributes = 0;
    bool isDir = false;
};

// The terminal's record of one entry (a file or folder), or nothing when there is none.
std::optional<Entry> DeviceStat(const std::string& devicePath);
// The entries of a terminal folder, with those of its subfolders when recursive (each folder
// before what it holds). "." and ".." are left out.
std::vector<Entry> DeviceWalk(const std::string& deviceFolder, bool recursive);
// The same for a PC folder; symbolic links are not followed.
std::vector<Entry> PcWalk(const std::string& pcFolder, bool recursive);
// A name the terminal gave, made safe for printing.
std::string PrintableName(const char* bytes, size_t length);
// Creates a terminal folder and the folders above it that are missing; true when it exists.
bool MakeDeviceFolders(const std::string& deviceFolder);
// A terminal path below a folder for a "/"-separated relative path.
std::string DeviceBelow(const std::string& deviceFolder, const std::string& relative);

}  // namespace zotcli
