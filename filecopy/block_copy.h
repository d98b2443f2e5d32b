#pragma once
// The one copy loop behind every whole-file copy: Zotlink's copies, DriftboxClient's send and
// receive, and DriftboxGUI's copy between two PC folders.
//
// A copy moves its source in blocks of 2048 bytes, then the rest (perhaps empty). After each
// whole block it raises the caller's status word (2..99) and, while data remains, stops when
// the cancel word holds 1. Each block is read before the one ahead of it is written, so a
// terminal destination can frame its next request while it waits for a reply; a read that
// comes back short still leaves every whole block that arrived in the destination. A failed
// or cancelled copy leaves the destination as far as it was written.
#include <cstddef>
#include <cstdint>
#include <functional>

namespace zot::copy {

// Final values of a status word; 2..99 while a copy runs.
enum Status : int32_t {
    kDone = 100,
    kInterrupted = 101,  // the terminal no longer answers (DriftboxClient only)
    kReadFailed = 102,   // the source cannot be opened, or a read came back short
    kWriteFailed = 103,  // a write came back short
    kCancelled = 104,
    kCreateFailed = 105,  // the destination cannot be created
};

constexpr size_t kBlock = 2048;

// One end of a copy: a PC file or a terminal file.
class IFileEnd {
  public:
    virtual ~IFileEnd() = default;
    // Bytes actually moved; fewer than n means failure or end of file.
    virtual size_t Read(uint8_t* buffer, size_t n) = 0;
    // next: the data the following Write will get, when known.
    virtual size_t Write(const uint8_t* data, size_t n, const uint8_t* next, size_t nextLength) = 0;
    virtual uint64_t Size() const = 0;
    // Moves both the read and the write position to offset; an end that cannot says no.
    virtual bool SeekTo(uint64_t offset) { return offset == 0; }
    // The modification time in seconds since 1970 UTC, 0 unknown; and setting it after the
    // last write (false when the file keeps no times).
    virtual uint32_t ModifiedTime() { return 0; }
    virtual bool SetModifiedTime(uint32_t) { return false; }
    // After the last write; false when the file could not be completed.
    virtual bool Finish() { return true; }
};

// Progress after whole block i of blocks: 100 * i / blocks, never below 2.
int32_t Percent(uint64_t i, uint64_t blocks);

// What a copy tells and asks its caller between blocks.
struct Control {
    // After whole block i of blocks, with the bytes written so far.
    std::function<void(uint64_t i, uint64_t blocks, uint64_t bytes)> progress;
    // Asked after each whole block while data remains.
    std::function<bool()> cancelled;
};

// Copies in to out; the final value is returned. From a whole block on, both ends already at
// firstBlock * kBlock, when an earlier copy got that far: progress counts the whole file.
Status Copy(IFileEnd& in, IFileEnd& out, const Control& control, uint64_t firstBlock = 0);
// The same with the caller's status and cancel words, shared with other threads (either may be
// null): the status word gets Percent() after each block; the copy stops when cancel holds 1.
Status Copy(IFileEnd& in, IFileEnd& out, int32_t* status, int32_t* cancel);

}  // namespace zot::copy
