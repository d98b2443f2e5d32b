#pragma once
// Continuing a copy from where its destination ends, with the handle-based calls.
#include <cstdint>
#include <cstdio>
#include <string>

#include "progress.h"
#include "zot_session.h"

namespace zotcli {

// Both end as a whole copy does: kCopyDone when the destination is whole, else the code
// and, for the terminal's side, why.
// A partial destination is gone on from only when its last whole block is the source's at the
// same place; otherwise it is some other file and is copied again from the start, and
// *fromStart says so.
// Writes the PC file on from its current size.
zot::CopyResult ResumeGet(zot::CSession& session, const std::string& devicePath,
                          const std::string& pcPath, uint64_t total, ProgressBar& bar,
                          bool* fromStart);
// Writes the terminal file on from its current size (creating it when missing).
zot::CopyResult ResumePut(zot::CSession& session, const std::string& pcPath,
                          const std::string& devicePath, uint64_t total, ProgressBar& bar,
                          bool* fromStart);

// Streams, for "get NAME -" and "put - NAME": the terminal file onto an open PC stream, and a
// PC stream to its end into the terminal file, which is created or cut to nothing first.
zot::CopyResult StreamGet(zot::CSession& session, const std::string& devicePath, FILE* out,
                          uint64_t total, ProgressBar& bar);
zot::CopyResult StreamPut(zot::CSession& session, FILE* in, const std::string& devicePath,
                          ProgressBar& bar);

}  // namespace zotcli
