#include "file_transfer.h"

#include <atomic>
#include <memory>
#include <thread>

#include "copy/pc_file.h"
#include "remote_calls.h"
#include "terminal_file.h"
#include "trace.h"

namespace zot::transfer {
namespace {

// What a terminal's 32-bit file size can hold.
constexpr uint64_t kTerminalMaxSize = 0xFFFFFFFFull;
constexpr size_t kMaxLocalPathBytes = 4096;

static_assert(copy::kDone == ZOT_COPY_DONE && copy::kReadFailed == ZOT_COPY_READ_FAILED &&
              copy::kWriteFailed == ZOT_COPY_WRITE_FAILED &&
              copy::kCancelled == ZOT_COPY_CANCELLED &&
              copy::kCreateFailed == ZOT_COPY_CREATE_FAILED);

using copy::CPcFile;
using copy::IFileEnd;

// PC paths are in the file system's encoding, terminal paths in the wire code page.
bool PcPath(WStringView path, std::string* out) {
    return !path.empty() && ToPcPath(path, out, kMaxLocalPathBytes) &&
           out->find('\0') == std::string::npos;
}

std::unique_ptr<IFileEnd> OpenSource(CRemoteApp& app, WStringView path) {
    std::string p;
    if (IsLocalPath(path)) {
        if (!ToWire(path, &p, kMaxPathBytes)) return nullptr;
        return CTerminalFile::OpenSource(app, p);
    }
    if (!PcPath(path, &p)) return nullptr;
    return CPcFile::OpenSource(p);
}

std::unique_ptr<IFileEnd> CreateDestination(CRemoteApp& app, WStringView path) {
    std::string p;
    if (IsLocalPath(path)) {
        if (!ToWire(path, &p, kMaxPathBytes)) return nullptr;
        return CTerminalFile::CreateDestination(app, p);
    }
    if (!PcPath(path, &p)) return nullptr;
    return CPcFile::CreateDestination(p);
}

// Opens both ends and copies; status and cancel as for copy::Copy.
copy::Status Copy(CRemoteApp& app, WStringView source, WStringView destination, int32_t* status,
                  int32_t* cancel) {
    auto in = OpenSource(app, source);
    if (!in) return copy::kReadFailed;
    // A terminal file cannot hold more than its 32-bit size; refuse before creating anything.
    if (IsLocalPath(destination) && in->Size() > kTerminalMaxSize) return copy::kReadFailed;
    auto out = CreateDestination(app, destination);
    if (!out) return copy::kCreateFailed;
    return copy::Copy(*in, *out, status, cancel);
}

struct Job {
    CRemoteApp* app;
    WString source;
    WString destination;
    int32_t* status;
    int32_t* cancel;
};

void CopyWorker(Job job) {
    const copy::Status outcome =
        Copy(*job.app, job.source, job.destination, job.status, job.cancel);
    ZOT_TRACE("copy finished with %d", static_cast<int>(outcome));
    // Free the engine before the caller can see the end and start the next copy.
    job.app->CopyRunning().store(false);
    std::atomic_ref<int32_t>(*job.status).store(outcome);
}

}  // namespace

bool IsLocalPath(WStringView path) {
    return path.size() >= 3 && path[0] == u'Z' && path[1] == u'O' && path[2] == u'T';
}

int CopyFile(CRemoteApp& app, WStringView source, WStringView destination) {
    return Copy(app, source, destination, nullptr, nullptr) == copy::kDone ? 1 : 0;
}

int StartCopy(CRemoteApp& app, WStringView source, WStringView destination, int32_t* status,
              int32_t* cancel) {
    if (!status || !cancel) return 0;
    bool expected = false;
    if (!app.CopyRunning().compare_exchange_strong(expected, true)) return 0;
    try {
        std::thread(CopyWorker, Job{&app, WString(source), WString(destination), status, cancel})
            .detach();
    } catch (...) {
        app.CopyRunning().store(false);
        return 0;
    }
    return 1;
}

int MoveFile(CRemoteApp& app, WStringView source, WStringView destination) {
    if (!CopyFile(app, source, destination)) return 0;
    if (IsLocalPath(source)) {
        std::string p;
        if (!ToWire(source, &p, kMaxPathBytes)) return 0;
        return calls::DeleteFile(app, p);
    }
    std::string p;
    if (!PcPath(source, &p)) return 0;
    return CPcFile::Remove(p) ? 1 : 0;
}

}  // namespace zot::transfer
