#pragma once
// Whole-file copy and move between PC and terminal files, in any direction, over a session;
// ZOT_CopyFileExW's copies run on a thread of their own.
#include <atomic>
#include <cstdint>

#include "codepage.h"
#include "zot_session.h"

namespace zot::transfer {

// A path whose first three characters are exactly "ZOT" names the terminal; every other path
// names the PC.
bool IsTerminalPath(WStringView path);

// 1 copied, 0 failed. An existing destination is replaced.
int CopyFile(CSession& session, WStringView source, WStringView destination);
// Starts the copy on a thread of its own and returns 1; the outcome arrives in *status.
// 0 when running says a copy is already running, or no thread can be started (status is
// left alone). resume and keepTime: CopyControl's.
int StartCopy(CSession& session, std::atomic<bool>& running, WStringView source,
              WStringView destination, int32_t* status, int32_t* cancel, bool resume = false,
              bool keepTime = false);
// Copy, then delete the source. 1 moved, 0 failed.
int MoveFile(CSession& session, WStringView source, WStringView destination);

}  // namespace zot::transfer
