#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

std::unique_ptr<CPcFile> CPcFile::OpenToContinue(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return nullptr;
    struct stat st {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags == -1 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<CPcFile>(new CPcFile(fd, static_cast<uint64_t>(st.st_size)));
}

bool CPcFile::SeekTo(uint64_t offset) {
    // Reads and writes name their offset, so only the positions and what is known of the
    // stretch change.
    m_read = offset;
    m_written = offset;
    m_stretchEnd = 0;
    m_holeAtEnd = false;
    return true;
}

uint32_t CPcFile::ModifiedTime() {
    struct stat st {};
    if (::fstat(static_cast<int>(m_handle), &st) != 0 || st.st_mtime <= 0) return 0;
    return st.st_mtime > time_t(0xFFFFFFFF) ? 0xFFFFFFFFu : static_cast<uint32_t>(st.st_mtime);
}

bool CPcFile::SetModifiedTime(uint32_t seconds) {
    const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(seconds), 0}};
    return ::futimens(static_cast<int>(m_handle), times) == 0;
}

bool CPcFile::Remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

CPcFile::~CPcFile() {
    // A copy that ended early keeps its skipped zeros too.
    Finish();
    ::close(static_cast<int>(m_handle));
}

namespace {

// A whole block of zeros; compared in one call, which is much cheaper than byte by byte.
const uint8_t kZeros[kBlock] = {};

}  // namespace

void CPcFile::Probe() {
    // Where the next data starts tells a hole from data, and for data where it ends; every
    // file system answers, those without holes with "all data". The answer holds for the
    // stretch, so a hole of gigabytes costs two calls rather than a read per block.
    const int fd = static_cast<int>(m_handle);
    const off_t from = static_cast<off_t>(m_read);
    const off_t data = ::lseek(fd, from, SEEK_DATA);
    if (data > from) {
        m_stretchIsHole = true;
        m_stretchEnd = static_cast<uint64_t>(data);
        return;
    }
    if (data < 0) {
        // Nothing but a hole to the end, or a file shorter by now: only the file's present
        // size may be read as zeros, so that a file that shrank still reads short.
        struct stat st {};
        m_stretchIsHole = errno == ENXIO && ::fstat(fd, &st) == 0 && st.st_size > from;
        m_stretchEnd = m_stretchIsHole ? static_cast<uint64_t>(st.st_size) : m_read + 1;
        return;
    }
    const off_t hole = ::lseek(fd, from, SEEK_HOLE);
    m_stretchIsHole = false;
    m_stretchEnd = hole > from ? static_cast<uint64_t>(hole) : m_read + 1;
}

size_t CPcFile::Read(uint8_t* buffer, size_t n) {
    if (n == 0) return 0;
    if (m_read >= m_stretchEnd) Probe();
    if (m_stretchIsHole && m_read + n <= m_stretchEnd) {
        std::memset(buffer, 0, n);
        m_read += n;
        return n;
    }
    const int fd = static_cast<int>(m_handle);
    size_t done = 0;
    while (done < n) {
        const ssize_t r = ::pread(fd, buffer + done, n - done, static_cast<off_t>(m_read));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        done += static_cast<size_t>(r);
        m_read += static_cast<uint64_t>(r);
    }
    return done;
}

size_t CPcFile::Write(const uint8_t* data, size_t n, const uint8_t*, size_t) {
    // Written at its offset: a skipped block of zeros needs no call at all.
    if (n == kBlock && std::memcmp(data, kZeros, n) == 0) {
        m_holeAtEnd = true;
        m_written += n;
        return n;
    }
    const int fd = static_cast<int>(m_handle);
    size_t done = 0;
    while (done < n) {
        const ssize_t w = ::pwrite(fd, data + done, n - done, static_cast<off_t>(m_written + done));
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
