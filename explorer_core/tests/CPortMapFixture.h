#pragma once
// A port map of the test's own: XDG_CONFIG_HOME points at a temporary folder for the fixture's
// life, and the Setup dialogs' device pickers list the given devices instead of the machine's.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <vector>

#include "device_discovery.h"

class CPortMapFixture {
  public:
    explicit CPortMapFixture(std::vector<qs::SerialDevice> devices = {});
    ~CPortMapFixture();
    CPortMapFixture(const CPortMapFixture&) = delete;
    CPortMapFixture& operator=(const CPortMapFixture&) = delete;

    QString Folder() const { return m_dir.path(); }
    // The map file's text; empty when there is no file.
    QByteArray Text() const;
    void Write(const QByteArray& text) const;

  private:
    QTemporaryDir m_dir;
    QByteArray m_oldConfigHome;
    bool m_hadConfigHome;
};
