#include "terminal_names.h"

#include <cerrno>

#include "terminal_path.h"

namespace zotfs {
namespace {

// Far beyond any name that fits the terminal; conversions stop there.
constexpr size_t kConversionRoom = 1024;

// Checks one component and counts the bytes it takes on the wire.
int CheckName(const std::string& local, size_t* wireBytes) {
    if (local.find_first_of("*?") != std::string::npos) return -EINVAL;
    zot::WString wide, again;
    std::string back, wire;
    if (!zot::FromLocal(local, &wide, kConversionRoom) ||
        !zot::ToLocal(wide, &back, kConversionRoom) || back != local)
        return local.size() > kConversionRoom ? -ENAMETOOLONG : -EILSEQ;
    if (!zot::ToWire(wide, &wire, kConversionRoom)) return -ENAMETOOLONG;
    // The wire code page puts its default character for what it lacks: a different name.
    if (!zot::FromWire(wire, &again, kConversionRoom) || again != wide) return -EILSEQ;
    if (wire.size() > kMaxNameBytes) return -ENAMETOOLONG;
    *wireBytes = wire.size();
    return 0;
}

// A path whose names passed CheckName, as it goes on the wire.
int WirePath(const std::string& local, std::string* wire) {
    zot::WString wide;
    return zot::FromLocal(local, &wide, kConversionRoom) && zot::ToWire(wide, wire, kConversionRoom)
               ? 0
               : -EILSEQ;
}

}  // namespace

int ToDevicePath(std::string_view mountPath, std::string* out, size_t reserveBytes) {
    // The terminal's separator inside a name would make it two names.
    if (mountPath.find('\\') != std::string_view::npos) return -EINVAL;
    const std::string device = zottools::DevicePath(std::string(mountPath));
    size_t bytes = std::string_view("ZOT:\\").size();
    const auto parts = zottools::SplitDevicePath(device);
    for (size_t i = 0; i < parts.size(); ++i) {
        size_t wireBytes = 0;
        if (const int rc = CheckName(parts[i], &wireBytes); rc != 0) return rc;
        bytes += wireBytes + (i > 0 ? 1 : 0);
        if (bytes + reserveBytes > kMaxPathBytes) return -ENAMETOOLONG;
    }
    if (bytes + reserveBytes > kMaxPathBytes) return -ENAMETOOLONG;
    return WirePath(device, out);
}

int ToListingPattern(std::string_view mountFolder, std::string* out) {
    std::string folder;
    // Room for the "\\*.*" after the folder.
    if (const int rc = ToDevicePath(mountFolder, &folder, 4); rc != 0) return rc;
    const std::string pattern =
        zottools::DeviceJoin(zottools::DevicePath(std::string(mountFolder)), "*.*");
    return WirePath(pattern, out);
}

bool FromTerminalName(std::string_view wire, std::string* local) {
    zot::WString wide, back;
    std::string again;
    if (!zot::FromWire(wire, &wide, kConversionRoom) ||
        !zot::ToWire(wide, &again, kConversionRoom) || again != wire ||
        !zot::ToLocal(wide, local, kConversionRoom) ||
        !zot::FromLocal(*local, &back, kConversionRoom) || back != wide)
        return false;
    // A '/' would split the name in two on this side.
    return !local->empty() && local->find('/') == std::string::npos && *local != "." &&
           *local != "..";
}

std::string ParentOf(std::string_view mountPath) {
    const size_t cut = mountPath.find_last_of('/');
    if (cut == std::string_view::npos || cut == 0) return "/";
    return std::string(mountPath.substr(0, cut));
}

std::string LeafOf(std::string_view mountPath) {
    return zottools::BaseName(std::string(mountPath));
}

std::string Folded(std::string_view text) {
    std::string s(text);
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

}  // namespace zotfs
