#pragma once
// The simulator's end of the serial line: the master of a pseudo-terminal it creates, or an
// existing serial device.
#include <string>

#include "low_latency.h"
#include "unique_fd.h"

namespace zotsim {

class CSimPty {
  public:
    CSimPty() = default;
    ~CSimPty() { Close(); }
    CSimPty(const CSimPty&) = delete;
    CSimPty& operator=(const CSimPty&) = delete;

    // Creates a raw pseudo-terminal; link, when not empty, becomes a symlink to its slave.
    bool OpenPty(const std::string& link);
    // Takes an existing serial device exclusively, raw, 8N1 at baud.
    bool OpenDevice(const std::string& path, int baud);

    const std::string& Link() const { return m_link; }
    // The descriptor to read requests from and write replies to; -1 when closed.
    int Fd() const { return m_line.Get(); }
    const std::string& SlavePath() const { return m_slavePath; }

    // Closes everything and removes the symlink; a pseudo-terminal's slave then vanishes and
    // its clients' reads and writes fail.
    void Close();

  private:
    CUniqueFd m_line;   // pty master or device
    CUniqueFd m_slave;  // our own hold on the pty slave
    bool m_device = false;
    qs::LowLatency m_lowLatency;  // what the open of a device changed
    std::string m_slavePath;
    std::string m_link;
};

}  // namespace zotsim
