#include "CQuietPort.h"

CQuietPort::CQuietPort() {
    const int port = qEnvironmentVariableIntValue("ZOT_WINE_QUIET_PORT");
    if (port > 0)
        m_device = QString::number(port);
    else
        m_unsupported = QStringLiteral("no silent simulator was started (ZOT_WINE_QUIET_PORT)");
}

CQuietPort::~CQuietPort() = default;
