#include "sim_pty.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "tty_posix.h"

namespace zotsim {
namespace {

bool MakeRaw(int fd, speed_t speed, bool setSpeed) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) return false;
    ::cfmakeraw(&tio);
    // CLOCAL: no modem lines on either kind of line; CREAD: receive at all.
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(HUPCL | CRTSCTS | CSTOPB | PARENB);
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (setSpeed && (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0))
        return false;
    return ::tcsetattr(fd, TCSANOW, &tio) == 0;
}

bool MakeLink(const std::string& link, const std::string& target) {
    struct stat st {};
    // Replace a link left by an earlier run, never a real file.
    if (::lstat(link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode) || ::unlink(link.c_str()) != 0) return false;
    }
    return ::symlink(target.c_str(), link.c_str()) == 0;
}

}  // namespace

bool CSimPty::OpenPty(const std::string& link) {
    Close();
    // O_NOCTTY: the pty must never become our controlling terminal.
    CUniqueFd master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!master.Valid() || ::grantpt(master.Get()) != 0 || ::unlockpt(master.Get()) != 0)
        return false;
    char name[128];
    if (::ptsname_r(master.Get(), name, sizeof name) != 0) return false;
    // Held open for our whole life, opened before any client: without it the master sees a
    // hang-up (EIO) whenever the last client closes, and clients that take the line
    // exclusively (TIOCEXCL) do not affect a descriptor already open.
    CUniqueFd slave(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!slave.Valid() || !MakeRaw(slave.Get(), B0, false)) return false;
    // Writes must never block the server when no client reads.
    const int flags = ::fcntl(master.Get(), F_GETFL);
    if (flags < 0 || ::fcntl(master.Get(), F_SETFL, flags | O_NONBLOCK) != 0) return false;
    if (!link.empty() && !MakeLink(link, name)) return false;
    m_line = std::move(master);
    m_slave = std::move(slave);
    m_slavePath = name;
    m_link = link;
    return true;
}

bool CSimPty::OpenDevice(const std::string& path, int baud) {
    Close();
    speed_t speed = B0;
    if (baud > 0 && !qs::BaudToSpeed(baud, &speed)) return false;
    CUniqueFd fd(qs::OpenTtyExclusive(path.c_str(), &m_lowLatency));
    if (!fd.Valid()) return false;
    if (!MakeRaw(fd.Get(), speed, baud > 0)) {
        qs::CloseTty(fd.Release(), &m_lowLatency);
        return false;
    }
    m_line = std::move(fd);
    m_device = true;
    m_slavePath = path;
    return true;
}

void CSimPty::Close() {
    // A device gives back its exclusive hold before it closes.
    if (m_device) qs::CloseTty(m_line.Release(), &m_lowLatency);
    m_line.Reset();
    m_slave.Reset();
    if (!m_link.empty()) ::unlink(m_link.c_str());
    m_link.clear();
    m_device = false;
}

}  // namespace zotsim
