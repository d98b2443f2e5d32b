#pragma once
// Folders on the terminal and on the PC, walked the same way for recursive copies and sync.
// A walk gives every entry or fails: a part of a folder would read as files gone missing.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "zot_session.h"

namespace zotcli {

struct Entry {
    std::string relative;  // below the folder walked, "/" between components
    uint64_t size = 0;
    uint32_t time = 0;  // seconds since 1970 UTC, 0 unknown
    uint32_t attributes = 0;
    bool isDir = false;
};

// The terminal's record of one entry (a file or folder); refused with kNoSuchEntry when
// there is none.
zot::Result<Entry> DeviceStat(zot::CSession& session, const std::string& devicePath);
// The entries of a terminal folder, with those of its subfolders when recursive (each folder
// before what it holds). "." and ".." are left out.
zot::Status DeviceWalk(zot::CSession& session, const std::string& deviceFolder, bool recursive,
                       std::vector<Entry>* out);
// The same for a PC folder; symbolic links are not followed. False with the reason in *error
// when a folder cannot be read.
bool PcWalk(const std::string& pcFolder, bool recursive, std::vector<Entry>* out,
            std::string* error);
// A name the terminal gave, made safe for printing.
std::string PrintableName(std::string_view wireName);
// Creates a terminal folder and the folders above it that are missing.
zot::Status MakeDeviceFolders(zot::CSession& session, const std::string& deviceFolder);
// A terminal path below a folder for a "/"-separated relative path.
std::string DeviceBelow(const std::string& deviceFolder, const std::string& relative);

}  // namespace zotcli
