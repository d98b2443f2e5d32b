#pragma once
// The copy of one PC file to another for a paste between two PC folders, reporting through a
// status word the way the terminal transfers do (the block copy's codes: 2..99 after each
// block, then 100 done, 102 the source cannot be read, 103 the target cannot be written, 104
// cancelled, 105 the target cannot be created). The status word and the cancel flag are
// shared with other threads.
#include <QString>
#include <cstdint>
#include <thread>

class CLocalCopyThread {
  public:
    // Copies src to dst on the calling thread; an existing dst is replaced. A failed or
    // cancelled copy leaves dst as far as it was written. Returns the final status, which is
    // also stored.
    static int32_t Run(const QString& src, const QString& dst, int32_t* status, int32_t* cancel);
    // The same on a thread of its own; the caller joins it.
    static std::thread Start(const QString& src, const QString& dst, int32_t* status,
                             int32_t* cancel);
};
