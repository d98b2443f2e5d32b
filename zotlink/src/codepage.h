#pragma once
// Conversion between the UTF-16 strings of the library's boundary and the PC's "ANSI" code
// page in which names travel on the wire: the locale's charset, or ZOTLINK_CODEPAGE.
#include <string>
#include <string_view>

#include "zotlink.h"

namespace zot {

using WString = std::basic_string<ZOT_WCHAR>;
using WStringView = std::basic_string_view<ZOT_WCHAR>;

// The iconv name of the wire code page.
const std::string& WireCodePage();

// UTF-16 to the wire code page. Characters the code page lacks become its default character
// ('?'). False when the result would exceed maxBytes or conversion is impossible.
bool ToWire(WStringView text, std::string* out, size_t maxBytes);
// UTF-16 to the charset of the environment's locale, for PC file names.
bool ToLocal(WStringView text, std::string* out, size_t maxBytes);
// The locale's charset (PC file names, command lines) to UTF-16.
bool FromLocal(std::string_view bytes, WString* out, size_t maxUnits);
// Wire code page to UTF-16; invalid bytes become U+FFFD. False when out would exceed maxUnits.
bool FromWire(std::string_view bytes, WString* out, size_t maxUnits);

// Length of a NUL-terminated wide string, or of a narrow one; 0 for null.
size_t WLength(const ZOT_WCHAR* s);

}  // namespace zot
