#include "stream_copy.h"

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

}  // namespace

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
