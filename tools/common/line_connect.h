#pragma once
// Taking the line to a terminal, the same way and in the same words in every tool.
#include <string>
#include <vector>

#include "zot_session.h"

namespace zottools {

// Where a line goes, as the tools name it: the device path, or "port N (/dev/…)".
std::string LineName(int port, const std::string& device);

// Opens the line unless the session has it already (a session opens a device that went away
// again by itself), then asks the terminal its version.
zot::Status Connect(zot::CSession& session, int port, const std::string& device, int baud,
                    bool compress);

// What a failed Connect() says, one message a line: the reason first, then any hint.
std::vector<std::string> ConnectFailure(const zot::CSession& session, const zot::Status& failed,
                                        const std::string& lineName, int baud);

}  // namespace zottools
