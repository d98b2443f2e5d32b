#include "terminal_tree.h"

#include <algorithm>
#include <filesystem>

#include "platform.h"
#include "terminal_path.h"
#include "text.h"

namespace zotcli {
namespace {

Entry FromRecord(const zot::FindRecord& d, const std::string& relative) {
    Entry e;
    e.relative = relative;
    e.size = d.size;
    e.time = d.time;
    e.attributes = d.attributes;
    e.isDir = (d.attributes & zot::kAttributeDirectory) != 0;
    return e;
}

zot::Status WalkInto(zot::CSession& session, const std::string& folder, const std::string& prefix,
                     bool recursive, std::vector<Entry>* out) {
    const auto listed = session.List(WireText(zottools::DeviceJoin(folder, "*.*")));
    if (!listed) return listed.status;
    std::vector<std::string> folders;
    for (const zot::FindRecord& d : listed.value) {
        const std::string name = FromWire(d.Name());
        if (name.empty() || name == "." || name == "..") continue;
        const Entry e = FromRecord(d, prefix.empty() ? name : prefix + "/" + name);
        out->push_back(e);
        if (e.isDir) folders.push_back(name);
    }
    if (!recursive) return zot::Status::Done();
    for (const auto& name : folders) {
        const zot::Status below = WalkInto(session, zottools::DeviceJoin(folder, name),
                                           prefix.empty() ? name : prefix + "/" + name, true, out);
        if (!below) return below;
    }
    return zot::Status::Done();
}

}  // namespace

std::string PrintableName(std::string_view wireName) {
    std::string name = FromWire(wireName);
    // Control characters from the terminal must not drive the user's terminal.
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return name;
}

zot::Result<Entry> DeviceStat(zot::CSession& session, const std::string& devicePath) {
    zot::Result<Entry> r;
    if (zottools::SplitDevicePath(devicePath).empty()) {
        r.value.isDir = true;
        r.value.attributes = zot::kAttributeDirectory;
        return r;
    }
    const auto found = session.Stat(WireText(devicePath));
    r.status = found.status;
    if (found) r.value = FromRecord(found.value, "");
    return r;
}

zot::Result<std::vector<std::string>> DeviceMatches(zot::CSession& session,
                                                    const std::string& devicePath) {
    zot::Result<std::vector<std::string>> r;
    const std::string pattern = zottools::BaseName(devicePath);
    if (!zottools::HasWildcard(pattern)) {
        r.value.push_back(devicePath);
        return r;
    }
    // The terminal's own matching knows nothing of case on some servers and everything of it
    // on others: the folder's listing is matched here, the same way everywhere.
    const std::string folder = zottools::DeviceParent(devicePath);
    const auto listed = session.List(WireText(zottools::DeviceJoin(folder, "*.*")));
    r.status = listed.status;
    if (!listed) return r;
    for (const zot::FindRecord& d : listed.value) {
        const std::string name = FromWire(d.Name());
        if (name.empty() || name == "." || name == "..") continue;
        if (zottools::WildcardMatch(pattern, name))
            r.value.push_back(zottools::DeviceJoin(folder, name));
    }
    if (r.value.empty()) r.status = zot::Status::Refused(zot::Refusal::kNoSuchEntry);
    return r;
}

zot::Status DeviceWalk(zot::CSession& session, const std::string& deviceFolder, bool recursive,
                       std::vector<Entry>* out) {
    std::vector<Entry> found;
    const zot::Status status =
        WalkInto(session, zottools::DevicePath(deviceFolder), "", recursive, &found);
    if (status) *out = std::move(found);
    return status;
}

bool PcWalk(const std::string& pcFolder, bool recursive, std::vector<Entry>* out,
            std::string* error) {
    namespace fs = std::filesystem;
    out->clear();
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
        if (ec) {
            *error = "cannot read the folder " + dir.string() + ": " + ec.message();
            out->clear();
            return false;
        }
        // Directory order is the file system's; a sorted walk gives the same plan each run.
        std::sort(here.begin(), here.end(),
                  [](const Entry& a, const Entry& b) { return a.relative < b.relative; });
        out->insert(out->end(), here.begin(), here.end());
        std::sort(below.begin(), below.end());
        pending.insert(pending.begin(), below.begin(), below.end());
    }
    return true;
}

zot::Status MakeDeviceFolders(zot::CSession& session, const std::string& deviceFolder) {
    std::string path = "ZOT:";
    for (const auto& part : zottools::SplitDevicePath(deviceFolder)) {
        path += "\\" + part;
        const std::string wire = WireText(path);
        const auto a = session.Attributes(wire);
        if (a) {
            if (a.value & zot::kAttributeDirectory) continue;
            return zot::Status::Refused(zot::Refusal::kNotAFolder);
        }
        if (!a.status.Is(zot::Refusal::kNoSuchEntry)) return a.status;
        const auto made = session.CreateFolder(wire);
        if (!made) return made.status;
    }
    return zot::Status::Done();
}

std::string DeviceBelow(const std::string& deviceFolder, const std::string& relative) {
    std::string rel = relative;
    for (char& c : rel)
        if (c == '/') c = '\\';
    return rel.empty() ? zottools::DevicePath(deviceFolder)
                       : zottools::DeviceJoin(deviceFolder, rel);
}

}  // namespace zotcli
