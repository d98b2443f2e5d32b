#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform.h"

namespace zotcli {
namespace {

int Fd(intptr_t handle) {
    return static_cast<int>(handle);
}

}  // namespace

std::filesystem::path PcPath(const std::string& localText) {
    return localText;
}

std::string PcFolderName(const std::string& name) {
    return name;
}

bool StderrIsTerminal() {
    return ::isatty(STDERR_FILENO) != 0;
}

bool StderrTakesEscapes() {
    return StderrIsTerminal();
}

void OnInterruptSignals(void (*handler)(int)) {
    struct sigaction sa {};
    sa.sa_handler = handler;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

bool StatPc(const std::string& path, PcStat* out, bool followLinks) {
    struct stat st {};
    if ((followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) return false;
    out->isRegular = S_ISREG(st.st_mode);
    out->isDirectory = S_ISDIR(st.st_mode);
    out->size = static_cast<uint64_t>(st.st_size);
    out->modified = st.st_mtim;
    return true;
}

void SetPcTimes(const std::string& path, const timespec& time) {
    const timespec both[2] = {time, time};
    ::utimensat(AT_FDCWD, path.c_str(), both, 0);
}

std::unique_ptr<CResumeFile> CResumeFile::OpenForWriting(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    return std::unique_ptr<CResumeFile>(new CResumeFile(fd));
}

std::unique_ptr<CResumeFile> CResumeFile::OpenForReading(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    return std::unique_ptr<CResumeFile>(new CResumeFile(fd));
}

CResumeFile::~CResumeFile() {
    ::close(Fd(m_handle));
}

bool CResumeFile::Size(uint64_t* size) const {
    struct stat st {};
    if (::fstat(Fd(m_handle), &st) != 0) return false;
    *size = static_cast<uint64_t>(st.st_size);
    return true;
}

bool CResumeFile::TruncateToEmpty() {
    return ::ftruncate(Fd(m_handle), 0) == 0;
}

bool CResumeFile::SeekTo(uint64_t offset) {
    return ::lseek(Fd(m_handle), static_cast<off_t>(offset), SEEK_SET) >= 0;
}

bool CResumeFile::Write(const void* data, size_t n) {
    return ::write(Fd(m_handle), data, n) == static_cast<ssize_t>(n);
}

bool CResumeFile::ReadAt(void* buffer, size_t n, uint64_t offset) {
    return ::pread(Fd(m_handle), buffer, n, static_cast<off_t>(offset)) == static_cast<ssize_t>(n);
}

}  // namespace zotcli
