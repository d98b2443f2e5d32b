#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "pc_file.h"

namespace zot {
namespace {

constexpr size_t kMaxLocalPathBytes = 4096;

// PC paths are in the file system's encoding, terminal paths in the wire code page.
bool LocalPath(WStringView path, std::string* out) {
    return !path.empty() && ToLocal(path, out, kMaxLocalPathBytes) &&
           out->find('\0') == std::string::npos;
}

int Fd(intptr_t native) {
    return static_cast<int>(native);
}

}  // namespace

std::unique_ptr<CPcFile> CPcFile::OpenSource(WStringView path) {
    std::string p;
    if (!LocalPath(path, &p)) return nullptr;
    const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<CPcFile>(new CPcFile(fd, static_cast<uint64_t>(st.st_size)));
}

std::unique_ptr<CPcFile> CPcFile::CreateDestination(WStringView path) {
    std::string p;
    if (!LocalPath(path, &p)) return nullptr;
    constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
    int fd = ::open(p.c_str(), kFlags, 0666);
    if (fd < 0 && errno == EEXIST) {
        if (::unlink(p.c_str()) != 0) return nullptr;
        fd = ::open(p.c_str(), kFlags, 0666);
    }
    if (fd < 0) return nullptr;
    return std::unique_ptr<CPcFile>(new CPcFile(fd, 0));
}

bool CPcFile::Delete(WStringView path) {
    std::string p;
    return LocalPath(path, &p) && ::unlink(p.c_str()) == 0;
}

CPcFile::~CPcFile() {
    ::close(Fd(m_native));
}

size_t CPcFile::Read(uint8_t* buffer, size_t n) {
    size_t done = 0;
    while (done < n) {
        const ssize_t r = ::read(Fd(m_native), buffer + done, n - done);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        done += static_cast<size_t>(r);
    }
    return done;
}

size_t CPcFile::Write(const uint8_t* data, size_t n) {
    size_t done = 0;
    while (done < n) {
        const ssize_t w = ::write(Fd(m_native), data + done, n - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) break;
        done += static_cast<size_t>(w);
    }
    return done;
}

}  // namespace zot
