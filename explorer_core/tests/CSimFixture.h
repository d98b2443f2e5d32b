#pragma once
// The terminal simulator in-process on a pseudo-terminal, serving a temporary folder. Where
// the program looks for it is up to the test: COMn, or DRIFTBOX_USB for the transfer
// explorer's USB port.
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "simulator.h"

class CSimFixture {
  public:
    struct Setup {
        std::string serverName = "ZotSim";
        int latencyMs = 0;
        int port = -1;  // exposed at once as with ExposeAs() when >= 0
    };
    explicit CSimFixture(const Setup& setup);
    CSimFixture() : CSimFixture(Setup{}) {}
    ~CSimFixture();

    bool Ok() const { return m_ok; }
    QString Root() const { return m_root.path(); }
    zotsim::CSimulator& Sim() { return *m_sim; }
    // Points COMn (n > 0) or DRIFTBOX_USB (n == 0) at the simulator.
    void ExposeAs(int port) const;
    // Writes a file of size bytes (zeros) into the store; mtime in seconds since 1970 when >= 0.
    void AddFile(const QString& name, qint64 size, qint64 mtime = -1);

  private:
    QTemporaryDir m_root;
    std::unique_ptr<zotsim::CSimulator> m_sim;
    bool m_ok = false;
};
