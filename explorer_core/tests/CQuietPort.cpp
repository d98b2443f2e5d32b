#include "CQuietPort.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

CQuietPort::CQuietPort() {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0) return;
    if (::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0)
        m_device = m_shown = QString::fromLocal8Bit(::ptsname(m_master));
}

CQuietPort::~CQuietPort() {
    if (m_master >= 0) ::close(m_master);
}
