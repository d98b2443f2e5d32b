#include "CSimFixture.h"

#include <utime.h>

#include <QFile>
#include <cstdlib>

CSimFixture::CSimFixture(int latencyMs) {
    zotsim::Options options;
    options.root = m_root.path().toStdString();
    options.latencyMs = latencyMs;
    m_sim = std::make_unique<zotsim::CSimulator>(options);
    m_ok = m_root.isValid() && m_sim->OpenPty() && m_sim->Start();
    if (m_ok) ::setenv("COM1", m_sim->SlavePath().c_str(), 1);
}

CSimFixture::~CSimFixture() {
    m_sim->Stop();
}

void CSimFixture::AddFile(const QString& name, qint64 size, qint64 mtime) {
    const QString path = m_root.path() + QLatin1Char('/') + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return;
    f.write(QByteArray(static_cast<qsizetype>(size), 'x'));
    f.close();
    if (mtime >= 0) {
        struct utimbuf times {};
        times.actime = static_cast<time_t>(mtime);
        times.modtime = static_cast<time_t>(mtime);
        ::utime(QFile::encodeName(path).constData(), &times);
    }
}
