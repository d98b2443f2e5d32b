#pragma once
// The little JSON the client writes: strings quoted and escaped, nothing else needed.
#include <string>

namespace zotcli {

// text as a JSON string literal. Bytes of 0x80 and above pass as they are (the locale's
// UTF-8); control characters are escaped.
std::string JsonString(const std::string& text);

}  // namespace zotcli
