#pragma once
// Text between the command line (the locale's charset), the session (terminal paths and names
// in the wire code page, PC paths as its PC file end takes them) and Windows' wide API.
#include <string>
#include <string_view>

#include "codepage.h"

namespace zotcli {

zot::WString Widen(const std::string& localText);
// A terminal path or text from the command line in the wire code page.
std::string WireText(const std::string& localText);
// A name as the terminal gave it, in the locale's charset.
std::string FromWire(std::string_view bytes);
// A PC path from the command line as the session's copies take it.
std::string PcEndPath(const std::string& localText);

}  // namespace zotcli
