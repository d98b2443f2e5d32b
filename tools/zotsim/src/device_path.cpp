#include "device_path.h"

namespace zotsim {
namespace {

constexpr std::string_view kDevicePrefix = "ZOT:";

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithPrefix(std::string_view name) {
    if (name.size() < kDevicePrefix.size()) return false;
    for (size_t i = 0; i < kDevicePrefix.size(); ++i)
        if (Fold(name[i]) != Fold(kDevicePrefix[i])) return false;
    return true;
}

// Iterative glob with single-star backtracking: linear in practice and no recursion depth a
// hostile pattern could exhaust.
bool Glob(std::string_view pattern, std::string_view name) {
    size_t p = 0, n = 0;
    size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || Fold(pattern[p]) == Fold(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace

std::optional<std::vector<std::string>> SplitDevicePath(std::string_view name) {
    if (StartsWithPrefix(name)) name.remove_prefix(kDevicePrefix.size());
    // "\\server\share" would mean another machine to the PC; never a folder of ours.
    if (name.size() >= 2 && IsSeparator(name[0]) && IsSeparator(name[1])) return std::nullopt;
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = start;
        while (end < name.size() && !IsSeparator(name[end])) ++end;
        const std::string_view part = name.substr(start, end - start);
        if (part == "..") return std::nullopt;
        // A colon anywhere means a drive ("C:") or another device; a NUL would cut the
        // name short when it reaches the C library.
        if (part.find(':') != std::string_view::npos) return std::nullopt;
        if (part.find('\0') != std::string_view::npos) return std::nullopt;
        if (!part.empty() && part != ".") parts.emplace_back(part);
        start = end + 1;
    }
    return parts;
}

bool MatchWildcard(std::string_view pattern, std::string_view name) {
    if (Glob(pattern, name)) return true;
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
        name.find('.') == std::string_view::npos)
        return Glob(pattern.substr(0, pattern.size() - 2), name);
    return false;
}

bool HasWildcard(std::string_view pattern) {
    return pattern.find_first_of("*?") != std::string_view::npos;
}

}  // namespace zotsim
