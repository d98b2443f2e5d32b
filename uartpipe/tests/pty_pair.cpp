#include "pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

int MsUntil(Clock::time_point deadline) {
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return ms > 0 ? static_cast<int>(ms) : 0;
}

}  // namespace

PtyPair::PtyPair() {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0) return;
    char name[128];
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 ||
        ::ptsname_r(m_master, name, sizeof name) != 0) {
        CloseMaster();
        return;
    }
    m_slaveName = name;
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

PtyPair::~PtyPair() {
    if (m_slave >= 0) ::close(m_slave);
    CloseMaster();
}

termios PtyPair::SlaveSettings() const {
    termios tio{};
    ::tcgetattr(m_slave, &tio);
    return tio;
}

void PtyPair::SetSlaveSettings(const termios& tio) {
    ::tcsetattr(m_slave, TCSANOW, &tio);
}

bool PtyPair::Send(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t w = ::write(m_master, bytes.data(), bytes.size());
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(w));
    }
    return true;
}

std::string PtyPair::Receive(size_t n, int waitMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    std::string got;
    while (got.size() < n) {
        pollfd p{m_master, POLLIN, 0};
        const int r = ::poll(&p, 1, MsUntil(deadline));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0 || !(p.revents & POLLIN)) break;
        char buf[4096];
        const size_t want = n - got.size() < sizeof buf ? n - got.size() : sizeof buf;
        const ssize_t rd = ::read(m_master, buf, want);
        if (rd <= 0) break;
        got.append(buf, static_cast<size_t>(rd));
    }
    return got;
}

bool PtyPair::WaitSlaveQueue(size_t n, int waitMs) const {
    // The pty moves bytes between its ends on a kernel work queue, and poll() cannot wait for
    // "exactly n queued", so this checks the count at a short interval.
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        int queued = 0;
        if (::ioctl(m_slave, FIONREAD, &queued) != 0) return false;
        if (static_cast<size_t>(queued) == n) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void PtyPair::CloseMaster() {
    if (m_master >= 0) ::close(m_master);
    m_master = -1;
}
