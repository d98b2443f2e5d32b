#pragma once
// The terminal simulator in-process on a pseudo-terminal, serving a temporary folder, with
// COM1 pointing at it.
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "simulator.h"

class CSimFixture {
  public:
    explicit CSimFixture(int latencyMs = 0);
    ~CSimFixture();

    bool Ok() const { return m_ok; }
    QString Root() const { return m_root.path(); }
    zotsim::CSimulator& Sim() { return *m_sim; }
    // Writes a file of size bytes into the store; mtime in seconds since 1970 when >= 0.
    void AddFile(const QString& name, qint64 size, qint64 mtime = -1);

  private:
    QTemporaryDir m_root;
    std::unique_ptr<zotsim::CSimulator> m_sim;
    bool m_ok = false;
};
