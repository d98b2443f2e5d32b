#include "CQuietPort.h"

CQuietPort::CQuietPort() {
    const int port = qEnvironmentVariableIntValue("ZOT_WINE_QUIET_PORT");
    if (port <= 0) {
        m_unsupported = QStringLiteral("no silent simulator was started (ZOT_WINE_QUIET_PORT)");
        return;
    }
    m_device = QString::number(port);
    m_shown = QStringLiteral("\\\\.\\COM%1").arg(port);
}

CQuietPort::~CQuietPort() = default;
