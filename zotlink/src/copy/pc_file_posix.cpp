#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "pc_file.h"

namespace zot::copy {

std::unique_ptr<CPcFile> CPcFile::OpenSource(const std::string& path) {
    // Without O_NONBLOCK the open of a named pipe waits for a writer that may never come; the
    // type is known only once it is open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    // Reads of a regular file never block anyway; clear the flag so that none comes back short
    // for its sake.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags == -1 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<CPcFile>(new CPcFile(fd, static_cast<uint64_t>(st.st_size)));
}

std::unique_ptr<CPcFile> CPcFile::CreateDestination(const std::string& path) {
    constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
    int fd = ::open(path.c_str(), kFlags, 0666);
    // An existing file is replaced: removed, then created anew once. unlink refuses folders.
    if (fd < 0 && errno == EEXIST && ::unlink(path.c_str()) == 0)
        fd = ::open(path.c_str(), kFlags, 0666);
    if (fd < 0) return nullptr;
    return std::unique_ptr<CPcFile>(new CPcFile(fd, 0));
}

bool CPcFile::Remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

CPcFile::~CPcFile() {
    // A copy that ended early keeps its skipped zeros too.
    Finish();
    ::close(static_cast<int>(m_handle));
}

size_t CPcFile::Read(uint8_t* buffer, size_t n) {
    const int fd = static_cast<int>(m_handle);
    size_t done = 0;
    while (done < n) {
        const ssize_t r = ::read(fd, buffer + done, n - done);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        done += static_cast<size_t>(r);
    }
    return done;
}

size_t CPcFile::Write(const uint8_t* data, size_t n, const uint8_t*, size_t) {
    const int fd = static_cast<int>(m_handle);
    if (n == kBlock && std::all_of(data, data + n, [](uint8_t b) { return b == 0; })) {
        if (::lseek(fd, static_cast<off_t>(n), SEEK_CUR) < 0) return 0;
        m_holeAtEnd = true;
        m_written += n;
        return n;
    }
    size_t done = 0;
    while (done < n) {
        const ssize_t w = ::write(fd, data + done, n - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) break;
        done += static_cast<size_t>(w);
    }
    if (done > 0) m_holeAtEnd = false;
    m_written += done;
    return done;
}

bool CPcFile::Finish() {
    if (!m_holeAtEnd) return true;
    m_holeAtEnd = false;
    return ::ftruncate(static_cast<int>(m_handle), static_cast<off_t>(m_written)) == 0;
}

}  // namespace zot::copy
