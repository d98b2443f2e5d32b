#pragma once
// Conversion between the UTF-16 strings of the library's boundary and the PC's "ANSI" code
// page in which names travel on the wire: the locale's charset (POSIX) or GetACP() (Windows),
// unless ZOTLINK_CODEPAGE names another.
#include <string>
#include <string_view>

namespace zot {

// The libraries' wide strings: UTF-16, in the type the platform's own wide API uses.
#ifdef _WIN32
using WChar = wchar_t;
#else
using WChar = char16_t;
#endif
using WString = std::basic_string<WChar>;
using WStringView = std::basic_string_view<WChar>;

// The name of the wire code page: an iconv name on POSIX; on Windows ZOTLINK_CODEPAGE as given
// (a number, "CPnnn" or one of a few common names) or "CP" and the ANSI code page.
const std::string& WireCodePage();

// UTF-16 to the wire code page. Characters the code page lacks become its default character
// ('?'). False when the result would exceed maxBytes or conversion is impossible.
bool ToWire(WStringView text, std::string* out, size_t maxBytes);
// UTF-16 to the charset of the environment's locale (the ANSI code page on Windows).
bool ToLocal(WStringView text, std::string* out, size_t maxBytes);
// The locale's charset (PC file names, command lines) to UTF-16.
bool FromLocal(std::string_view bytes, WString* out, size_t maxUnits);
// PC file paths as the block copy's file end takes them (copy/pc_file.h): the locale's charset
// on POSIX, UTF-8 on Windows, which holds every name the file system can, where the ANSI code
// page does not.
bool ToPcPath(WStringView text, std::string* out, size_t maxBytes);
// A path in the locale's charset (a C caller's text) in that same form: unchanged on POSIX.
bool LocalToPcPath(std::string_view localText, std::string* out, size_t maxBytes);
// Wire code page to UTF-16; invalid bytes become U+FFFD. False when out would exceed maxUnits.
bool FromWire(std::string_view bytes, WString* out, size_t maxUnits);

// Length of a NUL-terminated wide string; 0 for null.
inline size_t WLength(const WChar* s) {
    size_t n = 0;
    if (s)
        while (s[n]) ++n;
    return n;
}

}  // namespace zot
