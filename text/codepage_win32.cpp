#include <windows.h>

#include <cctype>
#include <climits>
#include <cstdlib>

#include "codepage.h"

namespace zot {
namespace {

// ZOTLINK_CODEPAGE takes a code page number, "CPnnn", or one of the iconv names users of the
// POSIX build already write, so one setting serves both builds.
UINT ParseCodePage(const std::string& name) {
    struct Named {
        const char* name;
        UINT cp;
    };
    static constexpr Named kNames[] = {{"GBK", 936},      {"GB2312", 936},      {"CP936", 936},
                                       {"BIG5", 950},     {"SHIFT_JIS", 932},   {"SJIS", 932},
                                       {"EUC-KR", 949},   {"UTF-8", CP_UTF8},   {"UTF8", CP_UTF8},
                                       {"LATIN1", 28591}, {"ISO-8859-1", 28591}};
    std::string upper;
    for (char c : name) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const Named& n : kNames)
        if (upper == n.name) return n.cp;
    const char* digits = upper.c_str();
    if (upper.rfind("CP", 0) == 0) digits += 2;
    if (upper.rfind("WINDOWS-", 0) == 0) digits += 8;
    char* end = nullptr;
    const unsigned long cp = std::strtoul(digits, &end, 10);
    return *digits && end && *end == '\0' && cp > 0 && cp < 65536 ? static_cast<UINT>(cp) : 0;
}

UINT WireCodePageId() {
    static const UINT cp = [] {
        const char* env = std::getenv("ZOTLINK_CODEPAGE");
        const UINT named = env && *env ? ParseCodePage(env) : 0;
        return named ? named : GetACP();
    }();
    return cp;
}

bool FromUtf16(UINT cp, WStringView text, std::string* out, size_t maxBytes) {
    out->clear();
    if (text.empty()) return true;
    if (text.size() > INT_MAX) return false;
    const int units = static_cast<int>(text.size());
    // Characters the code page lacks become its default character; UTF-8 has none to lack.
    const int need = WideCharToMultiByte(cp, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
    if (need <= 0 || static_cast<size_t>(need) > maxBytes) return false;
    out->resize(static_cast<size_t>(need));
    return WideCharToMultiByte(cp, 0, text.data(), units, out->data(), need, nullptr, nullptr) ==
           need;
}

bool ToUtf16(UINT cp, std::string_view bytes, WString* out, size_t maxUnits) {
    out->clear();
    if (bytes.empty()) return true;
    if (bytes.size() > INT_MAX) return false;
    const int length = static_cast<int>(bytes.size());
    // Without MB_ERR_INVALID_CHARS invalid bytes become U+FFFD (or the code page's default).
    const int need = MultiByteToWideChar(cp, 0, bytes.data(), length, nullptr, 0);
    if (need <= 0 || static_cast<size_t>(need) > maxUnits) return false;
    out->resize(static_cast<size_t>(need));
    return MultiByteToWideChar(cp, 0, bytes.data(), length, out->data(), need) == need;
}

}  // namespace

const std::string& WireCodePage() {
    static const std::string name = [] {
        const char* env = std::getenv("ZOTLINK_CODEPAGE");
        if (env && *env && ParseCodePage(env)) return std::string(env);
        return "CP" + std::to_string(GetACP());
    }();
    return name;
}

bool ToWire(WStringView text, std::string* out, size_t maxBytes) {
    return FromUtf16(WireCodePageId(), text, out, maxBytes);
}

bool ToLocal(WStringView text, std::string* out, size_t maxBytes) {
    return FromUtf16(CP_ACP, text, out, maxBytes);
}

bool FromWire(std::string_view bytes, WString* out, size_t maxUnits) {
    return ToUtf16(WireCodePageId(), bytes, out, maxUnits);
}

bool FromLocal(std::string_view bytes, WString* out, size_t maxUnits) {
    return ToUtf16(CP_ACP, bytes, out, maxUnits);
}

bool ToPcPath(WStringView text, std::string* out, size_t maxBytes) {
    return FromUtf16(CP_UTF8, text, out, maxBytes);
}

bool LocalToPcPath(std::string_view localText, std::string* out, size_t maxBytes) {
    WString wide;
    return ToUtf16(CP_ACP, localText, &wide, maxBytes) && FromUtf16(CP_UTF8, wide, out, maxBytes);
}

}  // namespace zot
