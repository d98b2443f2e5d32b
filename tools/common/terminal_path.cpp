#include "terminal_path.h"

#include <cctype>

namespace zottools {

std::string DevicePath(const std::string& name) {
    std::string rest = name;
    if (rest.rfind("ZOT:", 0) == 0) rest = rest.substr(4);
    for (char& c : rest)
        if (c == '/') c = '\\';
    while (!rest.empty() && rest.front() == '\\') rest.erase(0, 1);
    return "ZOT:\\" + rest;
}

std::string BaseName(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && (p.back() == '/' || p.back() == '\\')) p.pop_back();
    const size_t cut = p.find_last_of("/\\:");
    return cut == std::string::npos ? p : p.substr(cut + 1);
}

bool NamesDeviceFolder(const std::string& name) {
    return name.empty() || name.back() == '\\' || name.back() == '/' || name == "ZOT:";
}

std::string DeviceJoin(const std::string& folder, const std::string& name) {
    std::string f = DevicePath(folder);
    if (f.back() != '\\') f += '\\';
    return f + name;
}

std::vector<std::string> SplitDevicePath(const std::string& path) {
    const std::string p = DevicePath(path).substr(5);
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= p.size()) {
        const size_t cut = p.find('\\', start);
        const size_t end = cut == std::string::npos ? p.size() : cut;
        if (end > start) parts.push_back(p.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string DeviceParent(const std::string& path) {
    std::vector<std::string> parts = SplitDevicePath(path);
    if (!parts.empty()) parts.pop_back();
    std::string out = "ZOT:";
    for (const auto& part : parts) out += "\\" + part;
    return parts.empty() ? "ZOT:\\" : out;
}

std::string DeviceRelative(const std::string& folder, const std::string& path) {
    const std::vector<std::string> base = SplitDevicePath(folder);
    const std::vector<std::string> parts = SplitDevicePath(path);
    if (parts.size() <= base.size()) return "";
    for (size_t i = 0; i < base.size(); ++i)
        if (base[i] != parts[i]) return "";
    std::string out;
    for (size_t i = base.size(); i < parts.size(); ++i) out += (out.empty() ? "" : "/") + parts[i];
    return out;
}

bool WildcardMatch(const std::string& pattern, const std::string& name) {
    if (pattern == "*.*") return true;
    const auto same = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    };
    // Greedy with one point to go back to: the last "*" seen takes one more character.
    size_t p = 0, n = 0, star = std::string::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool HasWildcard(const std::string& name) {
    return name.find_first_of("*?") != std::string::npos;
}

}  // namespace zottools
