#include "text.h"

#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace zotcli {
namespace {

const char* WireCharset() {
    const char* cp = std::getenv("ZOTLINK_CODEPAGE");
    return cp && *cp ? cp : "";  // "" is the locale's charset for iconv
}

// Converts with replacement of what cannot be converted.
std::string Convert(const char* to, const char* from, const char* in, size_t n, size_t unit,
                    const std::string& replacement) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in, n);
    std::vector<char> out(n * 4 + 16);
    char* src = const_cast<char*>(in);
    size_t left = n;
    char* dst = out.data();
    size_t room = out.size();
    while (left > 0) {
        if (iconv(cd, &src, &left, &dst, &room) != static_cast<size_t>(-1)) break;
        if ((errno == EILSEQ || errno == EINVAL) && room >= replacement.size()) {
            for (char c : replacement) *dst++ = c;
            room -= replacement.size();
            const size_t skip = left < unit ? left : unit;
            src += skip;
            left -= skip;
            continue;
        }
        break;
    }
    iconv_close(cd);
    return std::string(out.data(), out.size() - room);
}

}  // namespace

WString Widen(const std::string& localText) {
    const std::string u16 =
        Convert("UTF-16LE", "", localText.data(), localText.size(), 1, std::string("\xFD\xFF", 2));
    WString w(u16.size() / 2, 0);
    for (size_t i = 0; i < w.size(); ++i)
        w[i] = static_cast<ZOT_WCHAR>(static_cast<uint8_t>(u16[2 * i]) |
                                      (static_cast<uint8_t>(u16[2 * i + 1]) << 8));
    return w;
}

std::string Narrow(const WString& wide) {
    std::string u16(wide.size() * 2, '\0');
    for (size_t i = 0; i < wide.size(); ++i) {
        u16[2 * i] = static_cast<char>(wide[i] & 0xFF);
        u16[2 * i + 1] = static_cast<char>(wide[i] >> 8);
    }
    return Convert("", "UTF-16LE", u16.data(), u16.size(), 2, "?");
}

std::string FromWire(const char* bytes, size_t length) {
    if (!*WireCharset()) return std::string(bytes, length);
    return Convert("", WireCharset(), bytes, length, 1, "?");
}

size_t WireLength(const std::string& localText) {
    if (!*WireCharset()) return localText.size();
    return Convert(WireCharset(), "", localText.data(), localText.size(), 1, "?").size();
}

}  // namespace zotcli
