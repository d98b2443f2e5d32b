#include <QDateTime>
#include <QDir>
#include <QFile>

#include "CSimFixture.h"

namespace {
int SimPort() {
    return qEnvironmentVariableIntValue("ZOT_WINE_SIM_PORT");
}
}  // namespace

CSimFixture::CSimFixture(const Setup& setup) {
    // The simulator outside keeps the name, pace and device it was started with.
    if (setup.inProcess)
        m_unsupported =
            QStringLiteral("drives the simulator in-process; under Wine it runs outside");
    else if (setup.serverName != Setup{}.serverName || setup.latencyMs != Setup{}.latencyMs)
        m_unsupported =
            QStringLiteral("needs a simulator set up otherwise than the one under Wine");
    if (!m_unsupported.isEmpty()) return;
    m_store = QDir::fromNativeSeparators(qEnvironmentVariable("ZOT_WINE_SIM_STORE"));
    QDir store(m_store);
    m_ok = SimPort() > 0 && !m_store.isEmpty() && store.exists();
    // Each fixture starts from an empty store, as a fresh temporary folder would.
    for (const QFileInfo& e : store.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                  QDir::NoDotAndDotDot)) {
        if (e.isDir() && !e.isSymLink())
            m_ok = QDir(e.filePath()).removeRecursively() && m_ok;
        else  // a read-only file is removed too, as a fresh folder has none
            m_ok = (QFile::setPermissions(e.filePath(), QFile::ReadOwner | QFile::WriteOwner),
                    QFile::remove(e.filePath())) &&
                   m_ok;
    }
    if (m_ok && setup.port >= 0) ExposeAs(setup.port);
}

CSimFixture::~CSimFixture() = default;

void CSimFixture::ExposeAs(int port) const {
    // COM ports are Wine's links to the simulator's pseudo-terminal; scripts/windows.sh links
    // every port a suite exposes to the same one. The USB port is named by number.
    if (port == 0) qputenv("DRIFTBOX_USB", QByteArray::number(SimPort()));
}

void CSimFixture::AddFile(const QString& name, qint64 size, qint64 mtime) {
    QFile f(Root() + QLatin1Char('/') + name);
    if (!f.open(QIODevice::WriteOnly)) return;
    if (size > 0) f.resize(size);
    if (mtime >= 0)
        f.setFileTime(QDateTime::fromSecsSinceEpoch(mtime), QFileDevice::FileModificationTime);
}
