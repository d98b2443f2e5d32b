#pragma once
#include <termios.h>

#include <cstddef>
#include <string>
#include <string_view>

// A pseudo-terminal standing in for a serial line: the code under test opens the slave by
// name, so the real termios path runs; the test plays the far end on the master. A second
// slave descriptor stays open so that the test can read and set the line's settings and see
// its input queue.
class PtyPair {
  public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool Ok() const { return m_master >= 0 && m_slave >= 0; }
    const std::string& SlaveName() const { return m_slaveName; }
    int SlaveFd() const { return m_slave; }

    termios SlaveSettings() const;
    void SetSlaveSettings(const termios& tio);

    // The far end sends bytes; true when all went.
    bool Send(std::string_view bytes);
    // What the far end received: up to n bytes, waiting up to waitMs for them.
    std::string Receive(size_t n, int waitMs = 5000);
    // Waits until the slave's input queue holds exactly n bytes (n = 0: the code under test
    // has read everything). False after waitMs.
    bool WaitSlaveQueue(size_t n, int waitMs = 5000) const;
    // The far end hangs up.
    void CloseMaster();

  private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slaveName;
};
