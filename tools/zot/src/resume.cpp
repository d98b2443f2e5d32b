#include "resume.h"

#include <filesystem>
#include <fstream>
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
    const std::filesystem::path path = PcPath(pcPath);
    std::error_code ec;
    uint64_t offset = std::filesystem::exists(path, ec) ? std::filesystem::file_size(path, ec) : 0;
    if (ec) return ZOT_COPY_CREATE_FAILED;
    if (offset > total) {
        // Not a partial copy of this source: start over.
        std::filesystem::resize_file(path, 0, ec);
        if (ec) return ZOT_COPY_WRITE_FAILED;
        offset = 0;
    }
    // Append mode creates a missing file and never cuts an existing one.
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out) return ZOT_COPY_CREATE_FAILED;
    DeviceFile in(ZOT_OpenFileW(Widen(devicePath).c_str(), 2));
    if (in.get() == -1 || !Seek(in.get(), offset)) return ZOT_COPY_READ_FAILED;
    std::vector<char> buf(kChunk);
    while (offset < total) {
        if (Interrupted()) return ZOT_COPY_CANCELLED;
        const auto want = static_cast<uint32_t>(std::min<uint64_t>(kChunk, total - offset));
        uint32_t got = 0;
        const int ok = ZOT_ReadFile(in.get(), buf.data(), want, &got);
        if (got && !out.write(buf.data(), got).flush()) return ZOT_COPY_WRITE_FAILED;
        offset += got;
        bar.Update(offset);
        if (!ok) return ZOT_COPY_READ_FAILED;
    }
    return ZOT_COPY_DONE;
}

int ResumePut(const std::string& pcPath, const std::string& devicePath, uint64_t total,
              ProgressBar& bar) {
    std::ifstream in(PcPath(pcPath), std::ios::binary);
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
    if (!in.seekg(static_cast<std::streamoff>(offset))) return ZOT_COPY_READ_FAILED;
    std::vector<char> buf(kChunk);
    while (offset < total) {
        if (Interrupted()) return ZOT_COPY_CANCELLED;
        const auto want = static_cast<uint32_t>(std::min<uint64_t>(kChunk, total - offset));
        if (!in.read(buf.data(), want)) return ZOT_COPY_READ_FAILED;
        uint32_t written = 0;
        const int ok = ZOT_WriteFile(out.get(), buf.data(), want, &written);
        offset += written;
        bar.Update(offset);
        if (!ok) return ZOT_COPY_WRITE_FAILED;
    }
    return ZOT_COPY_DONE;
}

}  // namespace zotcli
