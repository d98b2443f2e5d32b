#include "terminal_names.h"

#include <cerrno>

namespace zotfs {
namespace {

constexpr char16_t kPrefix[] = u"ZOT:\\";
constexpr size_t kPrefixBytes = 5;
// Far beyond any name that fits the terminal; conversions stop there.
constexpr size_t kConversionRoom = 1024;

// One component into UTF-16 and the number of bytes it takes on the wire.
int ConvertName(std::string_view local, zot::WString* wide, size_t* wireBytes) {
    if (local.find_first_of("\\*?") != std::string_view::npos) return -EINVAL;
    std::string back;
    if (!zot::FromLocal(local, wide, kConversionRoom) ||
        !zot::ToLocal(*wide, &back, kConversionRoom) || back != local)
        return local.size() > kConversionRoom ? -ENAMETOOLONG : -EILSEQ;
    std::string wire;
    zot::WString again;
    if (!zot::ToWire(*wide, &wire, kConversionRoom)) return -ENAMETOOLONG;
    if (!zot::FromWire(wire, &again, kConversionRoom) || again != *wide) return -EILSEQ;
    if (wire.size() > kMaxNameBytes) return -ENAMETOOLONG;
    *wireBytes = wire.size();
    return 0;
}

}  // namespace

int ToDevicePath(std::string_view mountPath, zot::WString* out, size_t reserveBytes) {
    *out = kPrefix;
    size_t bytes = kPrefixBytes;
    bool first = true;
    size_t start = 0;
    while (start < mountPath.size()) {
        size_t end = mountPath.find('/', start);
        if (end == std::string_view::npos) end = mountPath.size();
        const std::string_view part = mountPath.substr(start, end - start);
        start = end + 1;
        if (part.empty()) continue;
        zot::WString wide;
        size_t wireBytes = 0;
        if (const int rc = ConvertName(part, &wide, &wireBytes); rc != 0) return rc;
        if (!first) {
            *out += u'\\';
            ++bytes;
        }
        first = false;
        *out += wide;
        bytes += wireBytes;
        if (bytes + reserveBytes > kMaxPathBytes) return -ENAMETOOLONG;
    }
    if (bytes + reserveBytes > kMaxPathBytes) return -ENAMETOOLONG;
    return 0;
}

zot::WString ListingPattern(const zot::WString& folder) {
    zot::WString pattern = folder;
    if (pattern.empty() || pattern.back() != u'\\') pattern += u'\\';
    return pattern + u"*.*";
}

bool FromTerminalName(std::string_view wire, std::string* local) {
    zot::WString wide;
    std::string again;
    if (!zot::FromWire(wire, &wide, kConversionRoom) ||
        !zot::ToWire(wide, &again, kConversionRoom) || again != wire)
        return false;
    if (!zot::ToLocal(wide, local, kConversionRoom)) return false;
    zot::WString back;
    // A '/' would split the name in two on this side.
    return zot::FromLocal(*local, &back, kConversionRoom) && back == wide &&
           local->find('/') == std::string::npos && !local->empty() && *local != "." &&
           *local != "..";
}

std::string ParentOf(std::string_view mountPath) {
    const size_t cut = mountPath.find_last_of('/');
    if (cut == std::string_view::npos || cut == 0) return "/";
    return std::string(mountPath.substr(0, cut));
}

std::string LeafOf(std::string_view mountPath) {
    const size_t cut = mountPath.find_last_of('/');
    return std::string(cut == std::string_view::npos ? mountPath : mountPath.substr(cut + 1));
}

std::string Folded(std::string_view text) {
    std::string s(text);
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

}  // namespace zotfs
