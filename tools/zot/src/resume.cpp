#include "resume.h"

#include <algorithm>
#include <vector>

#include "platform.h"
#include "text.h"

namespace zotcli {
namespace {

// Several blocks per call keep the progress bar lively without extra round trips.
constexpr uint32_t kChunk = 16 * 1024;

zot::CopyResult Ended(zot::CopyCode code,
                      zot::Status why = zot::Status::Refused(zot::Refusal::kOther)) {
    zot::CopyResult r;
    r.code = code;
    r.status = why;
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
    if (offset == 0) return zot::Status::Done();
    if (offset > 0x7FFFFFFF) return zot::Status::Refused(zot::Refusal::kOther);
    return session.Seek(h, static_cast<int32_t>(offset), kFromStart).status;
}

}  // namespace

zot::CopyResult ResumeGet(zot::CSession& session, const std::string& devicePath,
                          const std::string& pcPath, uint64_t total, ProgressBar& bar) {
    const auto out = CResumeFile::OpenForWriting(pcPath);
    if (!out) return Ended(zot::kCopyCreateFailed);
    uint64_t offset = 0;
    if (!out->Size(&offset)) return Ended(zot::kCopyCreateFailed);
    if (offset > total) {
        // Not a partial copy of this source: start over.
        if (!out->TruncateToEmpty()) return Ended(zot::kCopyWriteFailed);
        offset = 0;
    }
    if (!out->SeekTo(offset)) return Ended(zot::kCopyWriteFailed);
    const auto opened = session.OpenFile(WireText(devicePath), kOpenReadWrite);
    if (!opened) return Ended(zot::kCopyReadFailed, opened.status);
    DeviceFile in(session, opened.value);
    if (const zot::Status at = Seek(session, in.get(), offset); !at)
        return Ended(zot::kCopyReadFailed, at);
    std::vector<char> buf(kChunk);
    while (offset < total) {
        if (Interrupted()) return Ended(zot::kCopyCancelled, zot::Status::Done());
        const auto want = static_cast<uint32_t>(std::min<uint64_t>(kChunk, total - offset));
        const auto got = session.Read(in.get(), buf.data(), want);
        if (got.value && !out->Write(buf.data(), got.value)) return Ended(zot::kCopyWriteFailed);
        offset += got.value;
        bar.Update(offset);
        if (!got) return Ended(zot::kCopyReadFailed, got.status);
        // The file ended before the size its listing gave.
        if (got.value < want) return Ended(zot::kCopyReadFailed);
    }
    return Ended(zot::kCopyDone, zot::Status::Done());
}

zot::CopyResult ResumePut(zot::CSession& session, const std::string& pcPath,
                          const std::string& devicePath, uint64_t total, ProgressBar& bar) {
    const auto in = CResumeFile::OpenForReading(pcPath);
    if (!in) return Ended(zot::kCopyReadFailed);
    const std::string wire = WireText(devicePath);
    auto opened = session.OpenFile(wire, kOpenReadWrite);
    if (opened.status.Is(zot::Refusal::kNoSuchEntry))
        opened = session.CreateFile(wire, kAccessReadWrite);
    if (!opened) return Ended(zot::kCopyCreateFailed, opened.status);
    DeviceFile out(session, opened.value);
    const auto size = session.FileSize(out.get());
    if (!size) return Ended(zot::kCopyWriteFailed, size.status);
    uint64_t offset = size.value;
    if (offset > total) {
        // Not a partial copy of this source: start over.
        const auto cut = session.SetEndOfFile(out.get());
        if (!cut) return Ended(zot::kCopyWriteFailed, cut.status);
        offset = 0;
    }
    if (const zot::Status at = Seek(session, out.get(), offset); !at)
        return Ended(zot::kCopyWriteFailed, at);
    std::vector<char> buf(kChunk);
    while (offset < total) {
        if (Interrupted()) return Ended(zot::kCopyCancelled, zot::Status::Done());
        const auto want = static_cast<uint32_t>(std::min<uint64_t>(kChunk, total - offset));
        if (!in->ReadAt(buf.data(), want, offset)) return Ended(zot::kCopyReadFailed);
        const auto written = session.Write(out.get(), buf.data(), want);
        offset += written.value;
        bar.Update(offset);
        if (!written) return Ended(zot::kCopyWriteFailed, written.status);
    }
    return Ended(zot::kCopyDone, zot::Status::Done());
}

}  // namespace zotcli
