#pragma once
// Copies between the terminal and a PC stream, with the handle-based calls.
#include <cstdint>
#include <cstdio>
#include <string>

#include "progress.h"
#include "zot_session.h"

namespace zotcli {

// Streams, for "get NAME -" and "put - NAME": the terminal file onto an open PC stream, and a
// PC stream to its end into the terminal file, which is created or cut to nothing first.
zot::CopyResult StreamGet(zot::CSession& session, const std::string& devicePath, FILE* out,
                          uint64_t total, ProgressBar& bar);
zot::CopyResult StreamPut(zot::CSession& session, FILE* in, const std::string& devicePath,
                          ProgressBar& bar);

}  // namespace zotcli
