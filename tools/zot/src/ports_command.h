#pragma once
#include "options.h"

namespace zotcli {

// zot ports [set N DEVICE | unset N]: the serial devices present and the port map. Works
// without a terminal: it never opens a port.
int Ports(const Options& o);

}  // namespace zotcli
