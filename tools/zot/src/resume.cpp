#include "resume.h"

#include <vector>

#include "platform.h"
#include "text.h"
#include "zotlink.h"

namespace zotcli {
namespace {

// Several library blocks per call keep the progress bar lively without extra round trips.
constexpr uint32_t kChunk = 16 * 1024;

class DeviceFile {
  public:
    explicit DeviceFile(int32_t h) : m_h(h) {}
    ~DeviceFile() {
        if (m_h != -1) ZOT_CloseFile(m_h);
    }
    int32_t get() const { return m_h; }

  private:
    int32_t m_h;
};

bool Seek(int32_t h, uint64_t offset) {
    if (offset == 0) return true;
    if (offset > 0x7FFFFFFF) return false;
    return ZOT_SetFilePointer(h, static_cast<int32_t>(offset), ZOT_FILE_BEGIN) != 0;
}

}  // namespace

int ResumeGet(const std::string& devicePath, const std::string& pcPath, uint64_t total,
              ProgressBar& bar) {
    const auto out = CResumeFile::OpenForWriting(pcPath);
    if (!out) return ZOT_COPY_CREATE_FAILED;
    uint64_t offset = 0;
    if (!out->Size(&offset)) return ZOT_COPY_CREATE_FAILED;
    if (offset > total) {
        // Not a partial copy of this source: start over.
        if (!out->TruncateToEmpty()) return ZOT_COPY_WRITE_FAILED;
        offset = 0;
    }
    if (!out->SeekTo(offset)) return ZOT_COPY_WRITE_FAILED;
    DeviceFile in(ZOT_OpenFileW(Widen(devicePath).c_str(), 2));
    if (in.get() == -1 || !Seek(in.get(), offset)) return ZOT_COPY_READ_FAILED;
    std::vector<char> buf(kChunk);
    while (offset < total) {
        if (Interrupted()) return ZOT_COPY_CANCELLED;
        const auto want = static_cast<uint32_t>(std::min<uint64_t>(kChunk, total - offset));
        uint32_t got = 0;
        const int ok = ZOT_ReadFile(in.get(), buf.data(), want, &got);
        if (got && !out->Write(buf.data(), got)) return ZOT_COPY_WRITE_FAILED;
        offset += got;
        bar.Update(offset);
        if (!ok) return ZOT_COPY_READ_FAILED;
    }
    return ZOT_COPY_DONE;
}

int ResumePut(const std::string& pcPath, const std::string& devicePath, uint64_t total,
              ProgressBar& bar) {
    const auto in = CResumeFile::OpenForReading(pcPath);
    if (!in) return ZOT_COPY_READ_FAILED;
    const auto wide = Widen(devicePath);
    int32_t h = ZOT_OpenFileW(wide.c_str(), 2);
    if (h == -1) h = ZOT_CreateFileW(wide.c_str(), ZOT_GENERIC_READ | ZOT_GENERIC_WRITE);
    DeviceFile out(h);
    if (out.get() == -1) return ZOT_COPY_CREATE_FAILED;
    uint64_t offset = static_cast<uint32_t>(ZOT_GetFileSize(out.get()));
    if (offset > total) {
        // Not a partial copy of this source: start over.
        if (!ZOT_SetEndOfFile(out.get())) return ZOT_COPY_WRITE_FAILED;
        offset = 0;
    }
    if (!Seek(out.get(), offset)) return ZOT_COPY_WRITE_FAILED;
    std::vector<char> buf(kChunk);
    while (offset < total) {
        if (Interrupted()) return ZOT_COPY_CANCELLED;
        const auto want = static_cast<uint32_t>(std::min<uint64_t>(kChunk, total - offset));
        if (!in->ReadAt(buf.data(), want, offset)) return ZOT_COPY_READ_FAILED;
        uint32_t written = 0;
        const int ok = ZOT_WriteFile(out.get(), buf.data(), want, &written);
        offset += written;
        bar.Update(offset);
        if (!ok) return ZOT_COPY_WRITE_FAILED;
    }
    return ZOT_COPY_DONE;
}

}  // namespace zotcli
