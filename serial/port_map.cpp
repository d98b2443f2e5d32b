#include "port_map.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

#include "port_name.h"

namespace qs {
namespace {

namespace fs = std::filesystem;

constexpr const char* kGroup = "Ports";

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    const size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return s;
}

// One line of the file as the map sees it.
struct Line {
    enum Kind { kOther, kGroup, kEntry } kind = kOther;
    std::string name;   // group name, or the entry's key
    std::string value;  // the entry's value, without surrounding quotes
};

Line Parse(const std::string& raw) {
    const std::string t = Trim(raw);
    Line line;
    if (t.empty() || t[0] == ';' || t[0] == '#') return line;
    if (t.front() == '[' && t.back() == ']') {
        line.kind = Line::kGroup;
        line.name = Trim(t.substr(1, t.size() - 2));
        return line;
    }
    const size_t eq = t.find('=');
    if (eq == std::string::npos || eq == 0) return line;
    line.kind = Line::kEntry;
    line.name = Trim(t.substr(0, eq));
    line.value = Trim(t.substr(eq + 1));
    // Editors and other INI writers quote values; the quotes are not part of the path.
    if (line.value.size() >= 2 && line.value.front() == '"' && line.value.back() == '"')
        line.value = line.value.substr(1, line.value.size() - 2);
    return line;
}

bool ValidName(const std::string& name) {
    if (name.empty()) return false;
    for (char c : name)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
              c == '_'))
            return false;
    return true;
}

// A device must read back as written: one line, no edge blanks, and absolute, because a
// relative path would mean something different in every program's working folder.
bool ValidDevice(const std::string& device) {
    if (device.empty() || device[0] != '/' || Trim(device) != device) return false;
    for (unsigned char c : device)
        if (c < 0x20 || c == 0x7F) return false;
    return true;
}

std::string Reason(const std::string& what, const std::string& path, int err) {
    return what + " " + path + ": " + std::strerror(err);
}

}  // namespace

bool CPortMap::Load(const std::string& path, std::string* error) {
    m_lines.clear();
    if (path.empty()) return true;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        if (errno == ENOENT || errno == ENOTDIR) return true;
        if (error) *error = Reason("cannot read", path, errno);
        return false;
    }
    std::string text;
    char buf[4096];
    size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    const bool failed = std::ferror(f) != 0;
    const int err = errno;
    std::fclose(f);
    if (failed) {
        if (error) *error = Reason("cannot read", path, err);
        return false;
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        m_lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

bool CPortMap::Save(const std::string& path, std::string* error) const {
    if (path.empty()) {
        if (error) *error = "no folder for the port map: neither XDG_CONFIG_HOME nor HOME is set";
        return false;
    }
    std::error_code ec;
    fs::path target = path;
    // A map kept elsewhere and linked here (dotfile managers do this) stays where it is.
    if (fs::symlink_status(target, ec).type() == fs::file_type::symlink) {
        target = fs::canonical(target, ec);
        if (ec) {
            if (error) *error = "cannot follow the link " + path + ": " + ec.message();
            return false;
        }
    }
    if (target.has_parent_path()) {
        fs::create_directories(target.parent_path(), ec);
        if (ec) {
            if (error)
                *error = "cannot create " + target.parent_path().string() + ": " + ec.message();
            return false;
        }
    }
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path temp = target.string() + ".new-" + std::to_string(stamp);
    std::FILE* f = std::fopen(temp.string().c_str(), "wb");
    if (!f) {
        if (error) *error = Reason("cannot write", temp.string(), errno);
        return false;
    }
    std::string text;
    for (const auto& line : m_lines) text += line + "\n";
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    const int err = errno;
    if (std::fclose(f) != 0 || !written) {
        if (error) *error = Reason("cannot write", temp.string(), written ? errno : err);
        fs::remove(temp, ec);
        return false;
    }
    if (const auto old = fs::status(target, ec); old.type() == fs::file_type::regular)
        fs::permissions(temp, old.permissions(), ec);
    fs::rename(temp, target, ec);
    if (ec) {
        if (error) *error = "cannot replace " + target.string() + ": " + ec.message();
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

std::string CPortMap::Device(const std::string& name) const {
    bool inGroup = false;
    std::string found;
    for (const auto& raw : m_lines) {
        const Line line = Parse(raw);
        if (line.kind == Line::kGroup) inGroup = SameName(line.name, kGroup);
        // The last of repeated keys wins, as it does for the other readers of such files.
        if (inGroup && line.kind == Line::kEntry && SameName(line.name, name)) found = line.value;
    }
    return found;
}

bool CPortMap::Bind(const std::string& name, const std::string& device) {
    if (!ValidName(name) || (!device.empty() && !ValidDevice(device))) return false;
    bool inGroup = false;
    std::optional<size_t> groupEnd;  // where a new entry of the group goes
    std::vector<std::string> kept;
    bool replaced = false;
    for (const auto& raw : m_lines) {
        const Line line = Parse(raw);
        if (line.kind == Line::kGroup) inGroup = SameName(line.name, kGroup);
        if (inGroup && line.kind == Line::kEntry && SameName(line.name, name)) {
            // The first binding of the name is rewritten in place, any repeats dropped.
            if (!device.empty() && !replaced) kept.push_back(Upper(name) + "=" + device);
            replaced = true;
            groupEnd = kept.size();
            continue;
        }
        kept.push_back(raw);
        if (inGroup && line.kind != Line::kOther) groupEnd = kept.size();
    }
    if (!device.empty() && !replaced) {
        const std::string entry = Upper(name) + "=" + device;
        if (groupEnd) {
            kept.insert(kept.begin() + static_cast<std::ptrdiff_t>(*groupEnd), entry);
        } else {
            if (!kept.empty() && !Trim(kept.back()).empty()) kept.push_back("");
            kept.push_back(std::string("[") + kGroup + "]");
            kept.push_back(entry);
        }
    }
    m_lines = std::move(kept);
    return true;
}

std::vector<std::pair<std::string, std::string>> CPortMap::Entries() const {
    std::vector<std::pair<std::string, std::string>> out;
    bool inGroup = false;
    for (const auto& raw : m_lines) {
        const Line line = Parse(raw);
        if (line.kind == Line::kGroup) inGroup = SameName(line.name, kGroup);
        if (!inGroup || line.kind != Line::kEntry) continue;
        bool repeat = false;
        for (auto& e : out)
            if (SameName(e.first, line.name)) e.second = line.value, repeat = true;
        if (!repeat) out.emplace_back(Upper(line.name), line.value);
    }
    return out;
}

std::string PortVariable(const std::string& name) {
    return SameName(name, "USB") ? "DRIFTBOX_USB" : Upper(name);
}

std::string MappedDevice(const std::string& name) {
    if (const char* dev = std::getenv(PortVariable(name).c_str()); dev && *dev) return dev;
    // Read afresh every time: a port is opened rarely, and the user may just have edited it.
    CPortMap map;
    map.Load(PortMapPath());
    return map.Device(name);
}

bool EditPortMap(const std::vector<std::pair<std::string, std::string>>& bindings,
                 std::string* error) {
    const std::string path = PortMapPath();
    CPortMap map;
    if (!map.Load(path, error)) return false;
    for (const auto& [name, device] : bindings) {
        if (!map.Bind(name, device)) {
            if (error)
                *error = "cannot bind " + name + " to \"" + device +
                         "\": a device must be an absolute path on one line";
            return false;
        }
    }
    return map.Save(path, error);
}

std::string SerialDeviceForName(const std::string& name) {
    auto is = [&](const char* word) {
        if (name.size() < 3) return false;
        for (size_t i = 0; i < 3; ++i)
            if ((name[i] | 0x20) != word[i]) return false;
        return true;
    };
    if (name.size() == 3 && is("usb")) return SerialDeviceForUsb();
    if (name.size() > 3 && name.size() <= 6 && is("com") &&
        name.find_first_not_of("0123456789", 3) == std::string::npos && name[3] != '0')
        return SerialDeviceForPort(std::stoi(name.substr(3)));
    return name;
}

}  // namespace qs
