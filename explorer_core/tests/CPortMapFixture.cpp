#include "CPortMapFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

#include "CPortDevicePicker.h"
#include "port_map.h"

CPortMapFixture::CPortMapFixture(std::vector<qs::SerialDevice> devices)
    : m_oldConfigHome(qgetenv("XDG_CONFIG_HOME")),
      m_hadConfigHome(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")) {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
    CPortDevicePicker::SetDiscovery([devices] { return devices; });
}

CPortMapFixture::~CPortMapFixture() {
    CPortDevicePicker::SetDiscovery({});
    if (m_hadConfigHome)
        qputenv("XDG_CONFIG_HOME", m_oldConfigHome);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

QByteArray CPortMapFixture::Text() const {
    QFile f(QFile::decodeName(QByteArray::fromStdString(qs::PortMapPath())));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void CPortMapFixture::Write(const QByteArray& text) const {
    const QString path = QFile::decodeName(QByteArray::fromStdString(qs::PortMapPath()));
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(text);
}
