#pragma once
// Continuing a copy from where its destination ends, with the handle-based calls.
#include <cstdint>
#include <string>

#include "progress.h"

namespace zotcli {

// Interrupt flag of the process (Ctrl-C), read between blocks.
bool Interrupted();

// Both return a copy status code (ZOT_COPY_*): 100 when the destination is whole.
// Appends to the PC file from its current size.
int ResumeGet(const std::string& devicePath, const std::string& pcPath, uint64_t total,
              ProgressBar& bar);
// Writes the terminal file on from its current size (creating it when missing).
int ResumePut(const std::string& pcPath, const std::string& devicePath, uint64_t total,
              ProgressBar& bar);

}  // namespace zotcli
