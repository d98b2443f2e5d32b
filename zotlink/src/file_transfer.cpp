#include "file_transfer.h"

#include <atomic>
#include <memory>
#include <thread>
#include <utility>

#include "pc_file.h"
#include "remote_calls.h"
#include "trace.h"

namespace zot::transfer {
namespace {

constexpr size_t kBlock = 2048;
constexpr uint32_t kReadWriteAccess = 0xC0000000u;
constexpr uint32_t kOpenReadWrite = 2;
// What a terminal's 32-bit file size can hold.
constexpr uint64_t kTerminalMaxSize = 0xFFFFFFFFull;

enum class Outcome { kDone, kReadFailed, kWriteFailed, kCancelled, kCreateFailed };

int StatusCode(Outcome o) {
    switch (o) {
        case Outcome::kDone: return ZOT_COPY_DONE;
        case Outcome::kReadFailed: return ZOT_COPY_READ_FAILED;
        case Outcome::kWriteFailed: return ZOT_COPY_WRITE_FAILED;
        case Outcome::kCancelled: return ZOT_COPY_CANCELLED;
        case Outcome::kCreateFailed: return ZOT_COPY_CREATE_FAILED;
    }
    return ZOT_COPY_READ_FAILED;
}

// One end of a copy.
class FileEnd {
public:
    virtual ~FileEnd() = default;
    // Bytes actually moved; fewer than n means failure or end of file.
    virtual size_t Read(uint8_t* buffer, size_t n) = 0;
    // next: the data the following Write will get, when known.
    virtual size_t Write(const uint8_t* data, size_t n, const uint8_t* next, size_t nextLength) = 0;
    virtual uint64_t Size() const = 0;
};

class PcFile final : public FileEnd {
public:
    explicit PcFile(std::unique_ptr<CPcFile> file) : m_file(std::move(file)) {}

    size_t Read(uint8_t* buffer, size_t n) override { return m_file->Read(buffer, n); }
    size_t Write(const uint8_t* data, size_t n, const uint8_t*, size_t) override {
        return m_file->Write(data, n);
    }
    uint64_t Size() const override { return m_file->Size(); }

    static std::unique_ptr<FileEnd> Wrap(std::unique_ptr<CPcFile> file) {
        if (!file) return nullptr;
        return std::make_unique<PcFile>(std::move(file));
    }

private:
    std::unique_ptr<CPcFile> m_file;
};

class TerminalFile final : public FileEnd {
public:
    TerminalFile(CRemoteApp& app, int32_t handle, uint64_t size)
        : m_app(app), m_handle(handle), m_size(size) {}
    ~TerminalFile() override { calls::CloseFile(m_app, m_handle); }

    static std::unique_ptr<TerminalFile> OpenSource(CRemoteApp& app, const std::string& path) {
        const int32_t h = calls::OpenFile(app, path, kOpenReadWrite);
        if (h == -1) return nullptr;
        uint32_t size = 0;
        // A size that cannot be read must not pass for an empty file.
        if (!calls::GetFileSize(app, h, &size)) {
            calls::CloseFile(app, h);
            return nullptr;
        }
        return std::make_unique<TerminalFile>(app, h, size);
    }

    static std::unique_ptr<TerminalFile> CreateDestination(CRemoteApp& app,
                                                           const std::string& path) {
        int32_t h = calls::CreateFile(app, path, kReadWriteAccess);
        if (h == -1) {
            if (!calls::DeleteFile(app, path)) return nullptr;
            h = calls::CreateFile(app, path, kReadWriteAccess);
            if (h == -1) return nullptr;
        }
        return std::make_unique<TerminalFile>(app, h, 0);
    }

    size_t Read(uint8_t* buffer, size_t n) override {
        uint32_t got = 0;
        calls::ReadFile(m_app, m_handle, buffer, static_cast<uint32_t>(n), &got);
        return got;
    }

    size_t Write(const uint8_t* data, size_t n, const uint8_t* next, size_t nextLength) override {
        uint32_t done = 0;
        calls::WriteFile(m_app, m_handle, data, static_cast<uint32_t>(n), &done, next,
                         static_cast<uint32_t>(nextLength));
        return done;
    }

    uint64_t Size() const override { return m_size; }

private:
    CRemoteApp& m_app;
    int32_t m_handle;
    uint64_t m_size;
};

std::unique_ptr<FileEnd> OpenSource(CRemoteApp& app, WStringView path) {
    std::string p;
    if (IsLocalPath(path)) {
        if (!ToWire(path, &p, kMaxPathBytes)) return nullptr;
        return TerminalFile::OpenSource(app, p);
    }
    return PcFile::Wrap(CPcFile::OpenSource(path));
}

std::unique_ptr<FileEnd> CreateDestination(CRemoteApp& app, WStringView path) {
    std::string p;
    if (IsLocalPath(path)) {
        if (!ToWire(path, &p, kMaxPathBytes)) return nullptr;
        return TerminalFile::CreateDestination(app, p);
    }
    return PcFile::Wrap(CPcFile::CreateDestination(path));
}

// The copy itself. progress(i, blocks) runs after each whole block and may stop the copy by
// returning false.
template <typename Progress>
Outcome Copy(CRemoteApp& app, WStringView source, WStringView destination, Progress progress) {
    auto in = OpenSource(app, source);
    if (!in) return Outcome::kReadFailed;
    // A terminal file cannot hold more than its 32-bit size; refuse before creating anything.
    if (IsLocalPath(destination) && in->Size() > kTerminalMaxSize) return Outcome::kReadFailed;
    auto out = CreateDestination(app, destination);
    if (!out) return Outcome::kCreateFailed;
    const uint64_t blocks = in->Size() / kBlock;
    const size_t remainder = static_cast<size_t>(in->Size() % kBlock);
    // The whole blocks, then the remainder (perhaps empty). Each block is read before the one
    // ahead of it is written, so a terminal destination can frame its next request while it
    // waits for a reply.
    const auto length = [&](uint64_t i) { return i < blocks ? kBlock : remainder; };
    uint8_t buffers[2][kBlock];
    uint8_t* current = buffers[0];
    uint8_t* next = buffers[1];
    if (in->Read(current, length(0)) != length(0)) return Outcome::kReadFailed;
    for (uint64_t i = 0; i <= blocks; ++i) {
        const size_t nextLength = i < blocks ? length(i + 1) : 0;
        if (in->Read(next, nextLength) != nextLength) return Outcome::kReadFailed;
        if (out->Write(current, length(i), next, nextLength) != length(i))
            return Outcome::kWriteFailed;
        if (i < blocks && !progress(i, blocks)) return Outcome::kCancelled;
        std::swap(current, next);
    }
    return Outcome::kDone;
}

struct Job {
    CRemoteApp* app;
    WString source;
    WString destination;
    int32_t* status;
    int32_t* cancel;
};

void CopyWorker(Job job) {
    std::atomic_ref<int32_t> status(*job.status);
    std::atomic_ref<int32_t> cancel(*job.cancel);
    const Outcome outcome =
        Copy(*job.app, job.source, job.destination, [&](uint64_t i, uint64_t blocks) {
            if (cancel.load() == 1) return false;
            const uint64_t percent = 100 * i / blocks;
            status.store(static_cast<int32_t>(percent < 2 ? 2 : percent));
            return true;
        });
    ZOT_TRACE("copy finished with %d", StatusCode(outcome));
    // Free the engine before the caller can see the end and start the next copy.
    job.app->CopyRunning().store(false);
    status.store(StatusCode(outcome));
}

}  // namespace

bool IsLocalPath(WStringView path) {
    return path.size() >= 3 && path[0] == u'Z' && path[1] == u'O' && path[2] == u'T';
}

int CopyFile(CRemoteApp& app, WStringView source, WStringView destination) {
    return Copy(app, source, destination, [](uint64_t, uint64_t) { return true; }) ==
                   Outcome::kDone
               ? 1
               : 0;
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
    return CPcFile::Delete(source) ? 1 : 0;
}

}  // namespace zot::transfer
