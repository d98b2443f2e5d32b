#pragma once
// The FUSE operations table: each operation hands its work to the link worker and waits.
#define FUSE_USE_VERSION 31
#include <fuse.h>

namespace zotfs {

class CLinkWorker;
class CTerminalFs;

struct Mount {
    CLinkWorker* worker = nullptr;
    CTerminalFs* fs = nullptr;
};

// The operations; fuse_new's private data must be a Mount.
const fuse_operations& Operations();

}  // namespace zotfs
