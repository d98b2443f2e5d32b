#include "terminal_names.h"

#include <cerrno>
#include <cstdint>
#include <vector>

namespace zotfs {
namespace {

// Far beyond any name that fits the terminal; conversions stop there.
constexpr size_t kConversionRoom = 1024;
// The longest character of any wire code page (GB18030, UTF-8).
constexpr size_t kMaxCharBytes = 4;
constexpr std::string_view kRoot = "ZOT:\\";
constexpr char kHex[] = "0123456789ABCDEF";

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Bytes the mount may show as %XX.
bool Escapable(uint8_t byte) {
    return byte == '%' || byte == '/' || byte >= 0x80;
}

// Whether text holds an escape's two digits at at, and the byte they stand for.
bool EscapeAt(std::string_view text, size_t at, uint8_t* byte) {
    if (at + 2 > text.size()) return false;
    const int high = HexValue(text[at]), low = HexValue(text[at + 1]);
    if (high < 0 || low < 0) return false;
    *byte = static_cast<uint8_t>(high * 16 + low);
    return Escapable(*byte);
}

// Wire bytes that come through wire code page -> UTF-16 -> locale and back unchanged, as
// locale text.
bool Decodes(std::string_view wire, std::string* local) {
    zot::WString wide, back;
    std::string again;
    return zot::FromWire(wire, &wide, kConversionRoom) &&
           zot::ToWire(wide, &again, kConversionRoom) && again == wire &&
           zot::ToLocal(wide, local, kConversionRoom) &&
           zot::FromLocal(*local, &back, kConversionRoom) && back == wide;
}

void AppendEscape(uint8_t byte, std::string* out) {
    *out += '%';
    *out += kHex[byte >> 4];
    *out += kHex[byte & 0x0F];
}

// Locale text as shown: '/' is escaped, and each '%' is told apart from an escape.
struct Shown {
    std::string text;
    std::vector<size_t> percents;  // where a '%' of the name itself stands in text

    void AddText(std::string_view local) {
        for (const char c : local) {
            if (c == '/') {
                AppendEscape('/', &text);
                continue;
            }
            if (c == '%') percents.push_back(text.size());
            text += c;
        }
    }
    std::string Finish() const {
        std::string out;
        size_t next = 0;
        uint8_t byte = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            out += text[i];
            if (next < percents.size() && percents[next] == i) {
                ++next;
                if (EscapeAt(text, i + 1, &byte)) out += "25";
            }
        }
        return out;
    }
};

std::string Show(std::string_view wire) {
    Shown shown;
    std::string local;
    if (Decodes(wire, &local)) {
        shown.AddText(local);
        return shown.Finish();
    }
    // Character by character: the shortest run of bytes that decodes is one character, as
    // no character's bytes begin another's in these code pages.
    for (size_t i = 0; i < wire.size();) {
        size_t length = 0;
        for (size_t n = 1; n <= kMaxCharBytes && i + n <= wire.size() && !length; ++n)
            if (Decodes(wire.substr(i, n), &local)) length = n;
        if (length) {
            shown.AddText(local);
            i += length;
        } else {
            AppendEscape(static_cast<uint8_t>(wire[i]), &shown.text);
            ++i;
        }
    }
    return shown.Finish();
}

// The wire bytes of one shown name: 0, or -errno as ToDevicePath.
int WireName(std::string_view shown, std::string* wire) {
    if (shown.find_first_of("\\*?") != std::string_view::npos) return -EINVAL;
    if (shown.size() > kConversionRoom) return -ENAMETOOLONG;
    wire->clear();
    std::string run;
    const auto flush = [&] {
        if (run.empty()) return true;
        zot::WString wide;
        std::string bytes;
        if (!zot::FromLocal(run, &wide, kConversionRoom) ||
            !zot::ToWire(wide, &bytes, kConversionRoom))
            return false;
        *wire += bytes;
        run.clear();
        return true;
    };
    uint8_t byte = 0;
    for (size_t i = 0; i < shown.size();) {
        if (shown[i] == '%' && EscapeAt(shown, i + 1, &byte)) {
            if (!flush()) return -EILSEQ;
            *wire += static_cast<char>(byte);
            i += 3;
        } else {
            run += shown[i++];
        }
    }
    if (!flush()) return -EILSEQ;
    // What the code pages lack comes back as another name; so does an escape of a character
    // that is shown as itself.
    if (Show(*wire) != shown) return -EILSEQ;
    return wire->size() > kMaxNameBytes ? -ENAMETOOLONG : 0;
}

}  // namespace

int ToDevicePath(std::string_view mountPath, std::string* out, size_t reserveBytes) {
    std::string device(kRoot);
    bool first = true;
    for (size_t start = 0; start < mountPath.size();) {
        size_t cut = mountPath.find('/', start);
        if (cut == std::string_view::npos) cut = mountPath.size();
        if (cut > start) {
            std::string wire;
            if (const int rc = WireName(mountPath.substr(start, cut - start), &wire); rc != 0)
                return rc;
            if (!first) device += '\\';
            device += wire;
            first = false;
            if (device.size() + reserveBytes > kMaxPathBytes) return -ENAMETOOLONG;
        }
        start = cut + 1;
    }
    if (device.size() + reserveBytes > kMaxPathBytes) return -ENAMETOOLONG;
    *out = std::move(device);
    return 0;
}

int ToListingPattern(std::string_view mountFolder, std::string* out) {
    std::string folder;
    // Room for the "\*.*" after the folder.
    if (const int rc = ToDevicePath(mountFolder, &folder, 4); rc != 0) return rc;
    if (folder.back() != '\\') folder += '\\';
    *out = folder + "*.*";
    return 0;
}

bool FromTerminalName(std::string_view wire, std::string* shown) {
    if (wire.empty() || wire == "." || wire == "..") return false;
    *shown = Show(wire);
    return true;
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
