#include "CSimFixture.h"

#include <utime.h>

#include <QFile>
#include <cstdlib>

CSimFixture::CSimFixture(const Setup& setup) {
    zotsim::Options options;
    options.root = m_root.path().toStdString();
    options.latencyMs = setup.latencyMs;
    options.serverName = setup.serverName;
    m_sim = std::make_unique<zotsim::CSimulator>(options);
    if (setup.inProcess) m_line = m_lineDir.path() + QStringLiteral("/line");
    m_ok = m_root.isValid() && m_sim->OpenPty(m_line.toStdString()) && m_sim->Start();
    if (m_ok && setup.port >= 0) ExposeAs(setup.port);
}

CSimFixture::~CSimFixture() {
    m_sim->Stop();
}

void CSimFixture::ExposeAs(int port) const {
    const std::string name = port == 0 ? std::string("DRIFTBOX_USB") : "COM" + std::to_string(port);
    const std::string device = m_line.isEmpty() ? m_sim->SlavePath() : m_line.toStdString();
    ::setenv(name.c_str(), device.c_str(), 1);
}

void CSimFixture::AddFile(const QString& name, qint64 size, qint64 mtime) {
    const QString path = m_root.path() + QLatin1Char('/') + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return;
    // Sparse: a test may ask for more than the disk holds.
    if (size > 0) f.resize(size);
    f.close();
    if (mtime >= 0) {
        struct utimbuf times {};
        times.actime = static_cast<time_t>(mtime);
        times.modtime = static_cast<time_t>(mtime);
        ::utime(QFile::encodeName(path).constData(), &times);
    }
}
