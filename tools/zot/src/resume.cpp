#include "resume.h"

#include <algorithm>
#include <vector>

#include "copying.h"
#include "platform.h"
#include "system_error.h"
#include "text.h"

namespace zotcli {
namespace {

// Several blocks per call keep the progress bar lively without extra round trips.
constexpr uint32_t kChunk = 16 * 1024;
// What is compared of a partial copy: its last whole block; a torn block after it is copied
// again.
constexpr uint32_t kBlock = 4096;

zot::CopyResult Ended(zot::CopyCode code,
                      zot::Status why = zot::Status::Refused(zot::Refusal::kOther)) {
    zot::CopyResult r;
    r.code = code;
    r.status = why;
    return r;
}

// The PC file failed: the system says why.
zot::CopyResult PcEnded(zot::CopyCode code) {
    zot::CopyResult r = Ended(code);
    r.pcFailed = true;
    r.pcError = qs::LastSystemError();
    return r;
}

class DeviceFile {
  public:
    DeviceFile(zot::CSession& session, int32_t h) : m_session(session), m_h(h) {}
    ~DeviceFile() { m_session.CloseFile(m_h); }
    int32_t get() const { return m_h; }

  private:
    zot::CSession& m_session;
    int32_t m_h;
};

zot::Status Seek(zot::CSession& session, int32_t h, uint64_t offset) {
    if (offset > 0x7FFFFFFF) return zot::Status::Refused(zot::Refusal::kOther);
    return session.Seek(h, static_cast<int32_t>(offset), zot::kSeekBegin).status;
}

// Where a partial copy of `have` bytes goes on from: after its last whole block.
uint64_t WholeBlocks(uint64_t have) {
    return have / kBlock * kBlock;
}

// Reads the terminal file's block that ends at `end` and leaves the file's position there;
// whether it holds `expected`.
zot::Result<bool> TerminalBlockIs(zot::CSession& session, int32_t h, uint64_t end,
                                  const std::vector<char>& expected) {
    zot::Result<bool> r;
    r.status = Seek(session, h, end - kBlock);
    if (!r) return r;
    std::vector<char> got(kBlock);
    const auto read = session.Read(h, got.data(), kBlock);
    r.status = read.status;
    r.value = read && read.value == kBlock && got == expected;
    return r;
}

}  // namespace

zot::CopyResult ResumeGet(zot::CSession& session, const std::string& devicePath,
                          const std::string& pcPath, uint64_t total, ProgressBar& bar,
                          bool* fromStart) {
    const auto out = CResumeFile::OpenForWriting(pcPath);
    if (!out) return PcEnded(zot::kCopyCreateFailed);
    uint64_t have = 0;
    if (!out->Size(&have)) return PcEnded(zot::kCopyCreateFailed);
    const auto opened = session.OpenFile(WireText(devicePath), zot::kOpenReadWrite);
    if (!opened) return Ended(zot::kCopyReadFailed, opened.status);
    DeviceFile in(session, opened.value);
    uint64_t offset = have <= total ? WholeBlocks(have) : 0;
    if (offset > 0) {
        std::vector<char> mine(kBlock);
        if (!out->ReadAt(mine.data(), kBlock, offset - kBlock))
            return PcEnded(zot::kCopyReadFailed);
        const auto same = TerminalBlockIs(session, in.get(), offset, mine);
        if (!same) return Ended(zot::kCopyReadFailed, same.status);
        if (!same.value) offset = 0;
    }
    *fromStart = have > 0 && offset == 0;
    if (offset == 0) {
        if (!out->TruncateToEmpty()) return PcEnded(zot::kCopyWriteFailed);
        if (const zot::Status at = Seek(session, in.get(), 0); !at)
            return Ended(zot::kCopyReadFailed, at);
    }
    if (!out->SeekTo(offset)) return PcEnded(zot::kCopyWriteFailed);
    std::vector<char> buf(kChunk);
    while (offset < total) {
        if (Interrupted()) return Ended(zot::kCopyCancelled, zot::Status::Done());
        const auto want = static_cast<uint32_t>(std::min<uint64_t>(kChunk, total - offset));
        const auto got = session.Read(in.get(), buf.data(), want);
        if (got.value && !out->Write(buf.data(), got.value)) return PcEnded(zot::kCopyWriteFailed);
        offset += got.value;
        bar.Update(offset);
        if (!got) return Ended(zot::kCopyReadFailed, got.status);
        // The file ended before the size its listing gave.
        if (got.value < want) return Ended(zot::kCopyReadFailed);
    }
    return Ended(zot::kCopyDone, zot::Status::Done());
}

zot::CopyResult ResumePut(zot::CSession& session, const std::string& pcPath,
                          const std::string& devicePath, uint64_t total, ProgressBar& bar,
                          bool* fromStart) {
    const auto in = CResumeFile::OpenForReading(pcPath);
    if (!in) return PcEnded(zot::kCopyReadFailed);
    const std::string wire = WireText(devicePath);
    auto opened = session.OpenFile(wire, zot::kOpenReadWrite);
    if (opened.status.Is(zot::Refusal::kNoSuchEntry))
        opened = session.CreateFile(wire, zot::kAccessRead | zot::kAccessWrite);
    if (!opened) return Ended(zot::kCopyCreateFailed, opened.status);
    DeviceFile out(session, opened.value);
    const auto size = session.FileSize(out.get());
    if (!size) return Ended(zot::kCopyWriteFailed, size.status);
    const uint64_t have = size.value;
    uint64_t offset = have <= total ? WholeBlocks(have) : 0;
    if (offset > 0) {
        std::vector<char> mine(kBlock);
        if (!in->ReadAt(mine.data(), kBlock, offset - kBlock)) return PcEnded(zot::kCopyReadFailed);
        const auto same = TerminalBlockIs(session, out.get(), offset, mine);
        if (!same) return Ended(zot::kCopyWriteFailed, same.status);
        if (!same.value) offset = 0;
    }
    *fromStart = have > 0 && offset == 0;
    if (offset == 0) {
        const zot::Status at = Seek(session, out.get(), 0);
        if (!at) return Ended(zot::kCopyWriteFailed, at);
        const auto cut = session.SetEndOfFile(out.get());
        if (!cut) return Ended(zot::kCopyWriteFailed, cut.status);
    }
    std::vector<char> buf(kChunk);
    while (offset < total) {
        if (Interrupted()) return Ended(zot::kCopyCancelled, zot::Status::Done());
        const auto want = static_cast<uint32_t>(std::min<uint64_t>(kChunk, total - offset));
        if (!in->ReadAt(buf.data(), want, offset)) return PcEnded(zot::kCopyReadFailed);
        const auto written = session.Write(out.get(), buf.data(), want);
        offset += written.value;
        bar.Update(offset);
        if (!written) return Ended(zot::kCopyWriteFailed, written.status);
    }
    return Ended(zot::kCopyDone, zot::Status::Done());
}

zot::CopyResult StreamGet(zot::CSession& session, const std::string& devicePath, FILE* out,
                          uint64_t total, ProgressBar& bar) {
    const auto opened = session.OpenFile(WireText(devicePath), zot::kOpenReadWrite);
    if (!opened) return Ended(zot::kCopyReadFailed, opened.status);
    DeviceFile in(session, opened.value);
    std::vector<char> buf(kChunk);
    uint64_t done = 0;
    while (done < total) {
        if (Interrupted()) return Ended(zot::kCopyCancelled, zot::Status::Done());
        const auto want = static_cast<uint32_t>(std::min<uint64_t>(kChunk, total - done));
        const auto got = session.Read(in.get(), buf.data(), want);
        if (got.value && std::fwrite(buf.data(), 1, got.value, out) != got.value)
            return PcEnded(zot::kCopyWriteFailed);
        done += got.value;
        bar.Update(done);
        if (!got) return Ended(zot::kCopyReadFailed, got.status);
        if (got.value < want) return Ended(zot::kCopyReadFailed);
    }
    if (std::fflush(out) != 0) return PcEnded(zot::kCopyWriteFailed);
    return Ended(zot::kCopyDone, zot::Status::Done());
}

zot::CopyResult StreamPut(zot::CSession& session, FILE* in, const std::string& devicePath,
                          ProgressBar& bar) {
    const std::string wire = WireText(devicePath);
    auto opened = session.OpenFile(wire, zot::kOpenReadWrite);
    if (opened.status.Is(zot::Refusal::kNoSuchEntry))
        opened = session.CreateFile(wire, zot::kAccessRead | zot::kAccessWrite);
    if (!opened) return Ended(zot::kCopyCreateFailed, opened.status);
    DeviceFile out(session, opened.value);
    if (const auto cut = session.SetEndOfFile(out.get()); !cut)
        return Ended(zot::kCopyWriteFailed, cut.status);
    std::vector<char> buf(kChunk);
    uint64_t done = 0;
    for (;;) {
        if (Interrupted()) return Ended(zot::kCopyCancelled, zot::Status::Done());
        const size_t n = std::fread(buf.data(), 1, buf.size(), in);
        if (n == 0) break;
        const auto written = session.Write(out.get(), buf.data(), static_cast<uint32_t>(n));
        done += written.value;
        bar.Update(done);
        if (!written) return Ended(zot::kCopyWriteFailed, written.status);
    }
    if (std::ferror(in)) return PcEnded(zot::kCopyReadFailed);
    zot::CopyResult r = Ended(zot::kCopyDone, zot::Status::Done());
    r.bytes = done;
    return r;
}

}  // namespace zotcli
