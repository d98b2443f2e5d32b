#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform.h"

namespace zotcli {

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

void BinaryStandardStreams() {}

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

}  // namespace zotcli
