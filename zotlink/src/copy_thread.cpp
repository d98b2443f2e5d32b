#include "copy_thread.h"

#include <memory>
#include <thread>

#include "block_copy.h"
#include "pc_file.h"
#include "protocol.h"
#include "zotlink.h"

namespace zot::transfer {
namespace {

constexpr size_t kMaxLocalPathBytes = 4096;

static_assert(kCopyDone == ZOT_COPY_DONE && kCopyReadFailed == ZOT_COPY_READ_FAILED &&
              kCopyWriteFailed == ZOT_COPY_WRITE_FAILED && kCopyCancelled == ZOT_COPY_CANCELLED &&
              kCopyCreateFailed == ZOT_COPY_CREATE_FAILED);

// PC paths are in the file system's encoding, terminal paths in the wire code page. False
// when the path cannot be expressed, which no file opens under.
bool End(WStringView path, CopyEnd* end) {
    end->terminal = IsTerminalPath(path);
    if (end->terminal) return ToWire(path, &end->path, kMaxPathBytes);
    return !path.empty() && ToPcPath(path, &end->path, kMaxLocalPathBytes) &&
           end->path.find('\0') == std::string::npos;
}

CopyCode Copy(CSession& session, WStringView source, WStringView destination,
              const CopyControl& control) {
    CopyEnd in, out;
    if (!End(source, &in)) return kCopyReadFailed;
    // A destination that cannot be expressed is created nowhere; the source is still opened
    // first, so a missing source says so.
    if (!End(destination, &out)) out = CopyEnd{};
    return session.Copy(in, out, control).code;
}

}  // namespace

bool IsTerminalPath(WStringView path) {
    return path.size() >= 3 && path[0] == u'Z' && path[1] == u'O' && path[2] == u'T';
}

int CopyFile(CSession& session, WStringView source, WStringView destination) {
    return Copy(session, source, destination, {}) == kCopyDone ? 1 : 0;
}

int StartCopy(CSession& session, std::atomic<bool>& running, WStringView source,
              WStringView destination, int32_t* status, int32_t* cancel, bool resume,
              bool keepTime) {
    if (!status || !cancel) return 0;
    bool expected = false;
    if (!running.compare_exchange_strong(expected, true)) return 0;
    auto job = [&session, &running, source = WString(source), destination = WString(destination),
                status, cancel, resume, keepTime] {
        CopyControl control;
        control.resume = resume;
        control.keepTime = keepTime;
        control.progress = [status](uint64_t i, uint64_t blocks, uint64_t) {
            std::atomic_ref<int32_t>(*status).store(copy::Percent(i, blocks));
        };
        control.cancelled = [cancel] { return std::atomic_ref<int32_t>(*cancel).load() == 1; };
        const CopyCode outcome = Copy(session, source, destination, control);
        // Free the session before the caller can see the end and start the next copy.
        running.store(false);
        std::atomic_ref<int32_t>(*status).store(outcome);
    };
    try {
        std::thread(std::move(job)).detach();
    } catch (...) {
        running.store(false);
        return 0;
    }
    return 1;
}

int MoveFile(CSession& session, WStringView source, WStringView destination) {
    if (!CopyFile(session, source, destination)) return 0;
    CopyEnd in;
    if (!End(source, &in)) return 0;
    if (in.terminal) {
        const auto r = session.Delete(in.path);
        return r.status.outcome == Outcome::kDone || r.status.outcome == Outcome::kRefused ? r.value
                                                                                           : 0;
    }
    return copy::CPcFile::Remove(in.path) ? 1 : 0;
}

}  // namespace zot::transfer
