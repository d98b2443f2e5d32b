#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "codepage.h"

namespace zot {
namespace {

constexpr const char* kUtf16 = "UTF-16LE";

std::string LocaleCharset() {
    // The environment's locale, without touching the process's global one.
    locale_t loc = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    if (!loc) return "UTF-8";
    std::string cs = nl_langinfo_l(CODESET, loc);
    freelocale(loc);
    // The "C" locale reports ASCII; most terminals' names are wider than that.
    if (cs.empty() || cs == "ANSI_X3.4-1968") cs = "UTF-8";
    return cs;
}

const std::string& LocalCharset() {
    static const std::string charset = LocaleCharset();
    return charset;
}

// iconv descriptors are not thread-safe; each conversion opens its own. They are cheap next
// to a serial round trip.
class Iconv {
  public:
    Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) iconv_close(m_cd);
    }
    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_cd; }

  private:
    iconv_t m_cd;
};

// Converts, replacing each unconvertible input unit (skip units) with the replacement.
bool Convert(const char* to, const char* from, const char* in, size_t inBytes, size_t unit,
             std::string_view replacement, std::string* out, size_t maxBytes) {
    Iconv cd(to, from);
    if (!cd.ok()) return false;
    out->assign(maxBytes + 8, '\0');
    char* src = const_cast<char*>(in);
    size_t srcLeft = inBytes;
    char* dst = out->data();
    size_t dstLeft = out->size();
    while (srcLeft > 0) {
        if (iconv(cd.get(), &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) return false;
        if (errno == EILSEQ || errno == EINVAL) {
            if (dstLeft < replacement.size()) return false;
            for (char c : replacement) *dst++ = c;
            dstLeft -= replacement.size();
            const size_t skip = srcLeft < unit ? srcLeft : unit;
            src += skip;
            srcLeft -= skip;
            continue;
        }
        return false;
    }
    // Flush any shift state.
    if (iconv(cd.get(), nullptr, nullptr, &dst, &dstLeft) == static_cast<size_t>(-1)) return false;
    out->resize(out->size() - dstLeft);
    return out->size() <= maxBytes;
}

}  // namespace

const std::string& WireCodePage() {
    static const std::string cp = [] {
        const char* env = std::getenv("ZOTLINK_CODEPAGE");
        return env && *env ? std::string(env) : LocaleCharset();
    }();
    return cp;
}

namespace {

bool FromUtf16(const std::string& charset, WStringView text, std::string* out, size_t maxBytes) {
    // wchar_t is UTF-16 on Windows too, so one byte order serves both.
    std::string u16(text.size() * 2, '\0');
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<uint16_t>(text[i]);
        u16[2 * i] = static_cast<char>(c & 0xFF);
        u16[2 * i + 1] = static_cast<char>(c >> 8);
    }
    return Convert(charset.c_str(), kUtf16, u16.data(), u16.size(), 2, "?", out, maxBytes);
}

}  // namespace

bool ToWire(WStringView text, std::string* out, size_t maxBytes) {
    return FromUtf16(WireCodePage(), text, out, maxBytes);
}

bool ToLocal(WStringView text, std::string* out, size_t maxBytes) {
    return FromUtf16(LocalCharset(), text, out, maxBytes);
}

namespace {

bool ToUtf16(const std::string& charset, std::string_view bytes, WString* out, size_t maxUnits) {
    std::string u16;
    if (!Convert(kUtf16, charset.c_str(), bytes.data(), bytes.size(), 1,
                 std::string_view("\xFD\xFF", 2), &u16, maxUnits * 2))
        return false;
    out->resize(u16.size() / 2);
    for (size_t i = 0; i < out->size(); ++i)
        (*out)[i] = static_cast<WChar>(static_cast<uint8_t>(u16[2 * i]) |
                                       (static_cast<uint8_t>(u16[2 * i + 1]) << 8));
    return true;
}

}  // namespace

bool FromWire(std::string_view bytes, WString* out, size_t maxUnits) {
    return ToUtf16(WireCodePage(), bytes, out, maxUnits);
}

bool FromLocal(std::string_view bytes, WString* out, size_t maxUnits) {
    return ToUtf16(LocalCharset(), bytes, out, maxUnits);
}

bool ToPcPath(WStringView text, std::string* out, size_t maxBytes) {
    return ToLocal(text, out, maxBytes);
}

bool LocalToPcPath(std::string_view localText, std::string* out, size_t maxBytes) {
    if (localText.size() > maxBytes) return false;
    out->assign(localText);
    return true;
}

}  // namespace zot
