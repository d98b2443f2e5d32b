#include "block_copy.h"

#include <atomic>
#include <utility>

namespace zot::copy {

int32_t Percent(uint64_t i, uint64_t blocks) {
    const uint64_t p = blocks ? 100 * i / blocks : 0;
    return static_cast<int32_t>(p < 2 ? 2 : p);
}

Status Copy(IFileEnd& in, IFileEnd& out, const Control& control, uint64_t firstBlock) {
    const uint64_t blocks = in.Size() / kBlock;
    if (firstBlock > blocks) return kReadFailed;
    const size_t remainder = static_cast<size_t>(in.Size() % kBlock);
    const auto length = [&](uint64_t i) { return i < blocks ? kBlock : remainder; };
    uint8_t buffers[2][kBlock];
    uint8_t* current = buffers[0];
    uint8_t* next = buffers[1];
    if (in.Read(current, length(firstBlock)) != length(firstBlock)) return kReadFailed;
    // Block i is in hand; the one after it (the remainder after the last whole block) is read
    // before block i is written.
    for (uint64_t i = firstBlock; i <= blocks; ++i) {
        const size_t nextLength = i < blocks ? length(i + 1) : 0;
        const bool nextArrived = in.Read(next, nextLength) == nextLength;
        // What arrived is kept even when what follows it did not.
        if (out.Write(current, length(i), nextArrived ? next : nullptr,
                      nextArrived ? nextLength : 0) != length(i))
            return kWriteFailed;
        if (!nextArrived) return kReadFailed;
        if (i < blocks) {
            // A file whose last byte arrived is done, whenever the cancel came.
            const bool more = i + 1 < blocks || remainder > 0;
            if (more && control.cancelled && control.cancelled()) return kCancelled;
            if (control.progress) control.progress(i, blocks, (i + 1) * kBlock);
        }
        std::swap(current, next);
    }
    return out.Finish() ? kDone : kWriteFailed;
}

Status Copy(IFileEnd& in, IFileEnd& out, int32_t* status, int32_t* cancel) {
    Control control;
    if (status)
        control.progress = [status](uint64_t i, uint64_t blocks, uint64_t) {
            std::atomic_ref<int32_t>(*status).store(Percent(i, blocks));
        };
    if (cancel)
        control.cancelled = [cancel] { return std::atomic_ref<int32_t>(*cancel).load() == 1; };
    return Copy(in, out, control);
}

}  // namespace zot::copy
