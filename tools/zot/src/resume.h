#pragma once
// Continuing a copy from where its destination ends, with the handle-based calls.
#include <cstdint>
#include <string>

#include "progress.h"
#include "zot_session.h"

namespace zotcli {

// The terminal's values for opening a file to read and write it, for creating one with both
// kinds of access, and for seeking from the start.
constexpr uint32_t kOpenReadWrite = 2;
constexpr uint32_t kAccessReadWrite = 0xC0000000u;
constexpr uint32_t kFromStart = 0;

// Interrupt flag of the process (Ctrl-C), read between blocks.
bool Interrupted();

// Both end as a whole copy does: kCopyDone when the destination is whole, else the code
// and, for the terminal's side, why.
// Appends to the PC file from its current size.
zot::CopyResult ResumeGet(zot::CSession& session, const std::string& devicePath,
                          const std::string& pcPath, uint64_t total, ProgressBar& bar);
// Writes the terminal file on from its current size (creating it when missing).
zot::CopyResult ResumePut(zot::CSession& session, const std::string& pcPath,
                          const std::string& devicePath, uint64_t total, ProgressBar& bar);

}  // namespace zotcli
