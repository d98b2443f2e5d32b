#pragma once
// One file copied between the PC and the terminal, for get, put and sync alike.
#include <cstdint>
#include <string>

#include "options.h"
#include "report.h"
#include "terminal.h"

namespace zotcli {

// Ctrl-C and SIGTERM cancel the copies in progress after their current block.
void CatchInterrupt();
// Copies one file (going on after a mid-file failure, --verify, --resume), then gives it
// time when --no-times is not set; reports it. True when it arrived whole.
bool CopyFileTo(Terminal& t, bool toPc, const std::string& devicePath, const std::string& pcPath,
                uint64_t size, uint32_t time, CopyReport& report);
// The usage checks that need no terminal: run before the link is opened.
bool CheckGetUsage(const Options& o, std::string* error);
bool CheckPutUsage(const Options& o, std::string* error);

}  // namespace zotcli
