#include "CLocalCopyThread.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <atomic>
#include <cstring>

namespace {
class Fd {
  public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return m_fd; }
    bool Ok() const { return m_fd >= 0; }

  private:
    int m_fd;
};

// A regular file may still hand back less than asked (signals, network file systems).
bool ReadFull(int fd, char* buffer, int64_t n) {
    int64_t done = 0;
    while (done < n) {
        const ssize_t got = ::read(fd, buffer + done, static_cast<size_t>(n - done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += got;
    }
    return true;
}

bool WriteFull(int fd, const char* buffer, int64_t n) {
    int64_t done = 0;
    while (done < n) {
        const ssize_t put = ::write(fd, buffer + done, static_cast<size_t>(n - done));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += put;
    }
    return true;
}

bool AllZero(const char* buffer, int64_t n) {
    return std::all_of(buffer, buffer + n, [](char c) { return c == 0; });
}
}  // namespace

void CLocalCopyThread::Run(const QString& src, const QString& dst, int32_t* status,
                           int32_t* cancel) {
    std::atomic_ref<int32_t> out(*status);
    std::atomic_ref<int32_t> stop(*cancel);
    const QByteArray from = QFile::encodeName(src);
    const QByteArray to = QFile::encodeName(dst);
    Fd in(::open(from.constData(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (!in.Ok() || ::fstat(in.Get(), &st) != 0 || S_ISDIR(st.st_mode)) {
        out.store(kReadError, std::memory_order_release);
        return;
    }
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
    int raw = ::open(to.constData(), flags, 0666);
    // An existing target is replaced: removed, then created anew once.
    if (raw < 0 && ::unlink(to.constData()) == 0) raw = ::open(to.constData(), flags, 0666);
    if (raw < 0) {
        out.store(kCannotCreate, std::memory_order_release);
        return;
    }
    Fd target(raw);
    const int fd = target.Get();
    // The whole 64-bit size: a file of 4 GiB or more is copied to its last byte.
    const int64_t size = st.st_size;
    const int64_t blocks = size / kBlock;
    char buffer[kBlock];
    bool holeAtEnd = false;
    for (int64_t k = 0; k < blocks; ++k) {
        if (!ReadFull(in.Get(), buffer, kBlock)) {
            out.store(kReadError, std::memory_order_release);
            return;
        }
        // Blocks of zeros are skipped over, so that a sparse source stays sparse.
        holeAtEnd = AllZero(buffer, kBlock);
        if (holeAtEnd ? ::lseek(fd, kBlock, SEEK_CUR) < 0 : !WriteFull(fd, buffer, kBlock)) {
            out.store(kWriteError, std::memory_order_release);
            return;
        }
        if (stop.load(std::memory_order_acquire) == 1) {
            out.store(kCancelled, std::memory_order_release);
            return;
        }
        out.store(static_cast<int32_t>(std::max<int64_t>(2, 100 * k / blocks)),
                  std::memory_order_release);
    }
    const int64_t rest = size % kBlock;
    if (rest > 0 && !ReadFull(in.Get(), buffer, rest)) {
        out.store(kReadError, std::memory_order_release);
        return;
    }
    if (rest > 0) holeAtEnd = false;
    if (!WriteFull(fd, buffer, rest) || (holeAtEnd && ::ftruncate(fd, size) != 0)) {
        out.store(kWriteError, std::memory_order_release);
        return;
    }
    out.store(kDone, std::memory_order_release);
}

std::thread CLocalCopyThread::Start(const QString& src, const QString& dst, int32_t* status,
                                    int32_t* cancel) {
    return std::thread([src, dst, status, cancel] { Run(src, dst, status, cancel); });
}
