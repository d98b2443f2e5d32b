#pragma once
// The terminal simulator the suites talk to, one file per OS. On POSIX it runs in-process on
// a pseudo-terminal, serving a temporary folder (CSimFixture.cpp). Under Wine it is the native
// simulator that scripts/windows.sh started, reached through the COM port and serving the
// folder that ZOT_WINE_SIM_PORT and ZOT_WINE_SIM_STORE name; it is emptied for each fixture
// (CSimFixture_win32.cpp). Where the program looks for it is up to the test: COMn, or
// DRIFTBOX_USB for the transfer explorer's USB port.
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
        // The test drives the simulator itself through Sim() (faults, the requests it saw,
        // its device): only the in-process one can be driven so. Its line is then reached
        // through a link of its own, which Sim().Replug() points at the new line after
        // Sim().Unplug(), as a cable pulled and plugged in again.
        bool inProcess = false;
    };
    explicit CSimFixture(const Setup& setup);
    CSimFixture() : CSimFixture(Setup{}) {}
    ~CSimFixture();

    bool Ok() const { return m_ok; }
    // Why this platform cannot give the simulator the setup asked for; empty when it can.
    QString Unsupported() const { return m_unsupported; }
    QString Root() const { return m_store.isEmpty() ? m_root.path() : m_store; }
    zotsim::CSimulator& Sim() { return *m_sim; }
    // Points COMn (n > 0) or DRIFTBOX_USB (n == 0) at the simulator.
    void ExposeAs(int port) const;
    // Writes a file of size bytes (zeros) into the store; mtime in seconds since 1970 when >= 0.
    void AddFile(const QString& name, qint64 size, qint64 mtime = -1);

  private:
    QTemporaryDir m_root;
    QTemporaryDir m_lineDir;
    QString m_line;  // the link the program opens, when there is one
    std::unique_ptr<zotsim::CSimulator> m_sim;
    bool m_ok = false;
    QString m_unsupported;
    QString m_store;  // the folder served, where it is not m_root
};

// In place of QVERIFY(sim.Ok()): a setup this platform cannot give skips the test, saying why.
#define QS_REQUIRE_SIM(sim)                                                         \
    do {                                                                            \
        if (!(sim).Unsupported().isEmpty()) QSKIP(qPrintable((sim).Unsupported())); \
        QVERIFY((sim).Ok());                                                        \
    } while (false)
