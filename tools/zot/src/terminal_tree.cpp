#include "terminal_tree.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "platform.h"
#include "terminal_path.h"
#include "text.h"
#include "zotlink.h"

namespace zotcli {
namespace {

Entry FromRecord(const ZOT_FIND_DATA& d, const std::string& relative) {
    Entry e;
    e.relative = relative;
    e.size = d.nFileSize;
    e.time = d.dwTime;
    e.attributes = d.dwFileAttributes;
    e.isDir = (d.dwFileAttributes & ZOT_FILE_ATTRIBUTE_DIRECTORY) != 0;
    return e;
}

std::string NameOf(const ZOT_FIND_DATA& d) {
    // A name may fill all 100 bytes without a terminating zero.
    return FromWire(d.cFileName, strnlen(d.cFileName, sizeof d.cFileName));
}

void WalkInto(const std::string& folder, const std::string& prefix, bool recursive,
              std::vector<Entry>* out) {
    ZOT_FIND_DATA d{};
    const int32_t h = ZOT_FindFirstFileW(Widen(zottools::DeviceJoin(folder, "*.*")).c_str(), &d);
    if (h == -1) return;  // an empty folder gives no handle either
    std::vector<std::string> folders;
    do {
        const std::string name = NameOf(d);
        if (name.empty()) break;
        if (name == "." || name == "..") continue;
        const Entry e = FromRecord(d, prefix.empty() ? name : prefix + "/" + name);
        out->push_back(e);
        if (e.isDir) folders.push_back(name);
    } while (ZOT_FindNextFile(h, &d));
    ZOT_FindClose(h);
    if (!recursive) return;
    for (const auto& name : folders)
        WalkInto(zottools::DeviceJoin(folder, name), prefix.empty() ? name : prefix + "/" + name,
                 true, out);
}

}  // namespace

std::string PrintableName(const char* bytes, size_t length) {
    std::string name = FromWire(bytes, length);
    // Control characters from the terminal must not drive the user's terminal.
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return name;
}

std::optional<Entry> DeviceStat(const std::string& devicePath) {
    if (zottools::SplitDevicePath(devicePath).empty()) {
        Entry root;
        root.isDir = true;
        root.attributes = ZOT_FILE_ATTRIBUTE_DIRECTORY;
        return root;
    }
    ZOT_FIND_DATA d{};
    const int32_t h = ZOT_FindFirstFileW(Widen(devicePath).c_str(), &d);
    if (h == -1) return std::nullopt;
    ZOT_FindClose(h);
    if (NameOf(d).empty()) return std::nullopt;
    return FromRecord(d, "");
}

std::vector<Entry> DeviceWalk(const std::string& deviceFolder, bool recursive) {
    std::vector<Entry> out;
    WalkInto(zottools::DevicePath(deviceFolder), "", recursive, &out);
    return out;
}

std::vector<Entry> PcWalk(const std::string& pcFolder, bool recursive) {
    namespace fs = std::filesystem;
    std::vector<Entry> out;
    std::error_code ec;
    std::vector<std::pair<fs::path, std::string>> pending = {{PcPath(pcFolder), ""}};
    while (!pending.empty()) {
        auto [dir, prefix] = pending.front();
        pending.erase(pending.begin());
        std::vector<std::pair<fs::path, std::string>> below;
        std::vector<Entry> here;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            PcStat st;
            if (!StatPc(it->path().string(), &st, false)) continue;
            if (!st.isRegular && !st.isDirectory) continue;
            Entry e;
            const std::string name = it->path().filename().string();
            e.relative = prefix.empty() ? name : prefix + "/" + name;
            e.isDir = st.isDirectory;
            e.size = e.isDir ? 0 : st.size;
            e.time = st.modified.tv_sec > 0 ? static_cast<uint32_t>(st.modified.tv_sec) : 0;
            here.push_back(e);
            if (e.isDir && recursive) below.emplace_back(it->path(), e.relative);
        }
        // Directory order is the file system's; a sorted walk gives the same plan each run.
        std::sort(here.begin(), here.end(),
                  [](const Entry& a, const Entry& b) { return a.relative < b.relative; });
        out.insert(out.end(), here.begin(), here.end());
        std::sort(below.begin(), below.end());
        pending.insert(pending.begin(), below.begin(), below.end());
    }
    return out;
}

bool MakeDeviceFolders(const std::string& deviceFolder) {
    std::string path = "ZOT:";
    for (const auto& part : zottools::SplitDevicePath(deviceFolder)) {
        path += "\\" + part;
        const int32_t a = ZOT_GetFileAttributesW(Widen(path).c_str());
        if (a != -1 && (a & ZOT_FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (a != -1 || !ZOT_CreateDirectoryW(Widen(path).c_str())) return false;
    }
    return true;
}

std::string DeviceBelow(const std::string& deviceFolder, const std::string& relative) {
    std::string rel = relative;
    for (char& c : rel)
        if (c == '/') c = '\\';
    return rel.empty() ? zottools::DevicePath(deviceFolder)
                       : zottools::DeviceJoin(deviceFolder, rel);
}

}  // namespace zotcli
