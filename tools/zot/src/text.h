#pragma once
// Text between the command line (locale charset), the library (UTF-16) and the terminal's
// names (the wire code page, as the library uses it).
#include <string>

#include "zotlink.h"

namespace zotcli {

using WString = std::basic_string<ZOT_WCHAR>;

WString Widen(const std::string& localText);
std::string Narrow(const WString& wide);
// A name as the terminal gave it, for printing.
std::string FromWire(const char* bytes, size_t length);
// Bytes of name in the wire code page (to tell the user of a too long name).
size_t WireLength(const std::string& localText);

}  // namespace zotcli
