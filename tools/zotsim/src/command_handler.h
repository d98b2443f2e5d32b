#pragma once
// The terminal's answer to each of the 25 commands: request data in, reply data out, laid
// out as the PC accepts them. Knows nothing of frames, pacing or faults.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "file_store.h"
#include "simulator.h"

namespace zotsim {

class CCommandHandler {
  public:
    explicit CCommandHandler(const Options& options);
    bool Valid() const { return m_store.Valid(); }

    // Fills reply with the reply data; false for a command code the terminal does not know
    // (it stays silent then). Malformed request data gets the command's failure reply.
    bool Handle(uint16_t command, uint16_t sequence, const uint8_t* data, size_t length,
                std::vector<uint8_t>* reply);

    // The reply data a read request (its data) would get if it came again now, without
    // reading; false when it is no well-formed read of a whole block that is there to read.
    bool NextReadReply(const uint8_t* data, size_t length, std::vector<uint8_t>* reply);

  private:
    void Ring(const std::string& text) const;

    CFileStore m_store;
    std::string m_serverName;
    uint64_t m_storeSize;
    bool m_log;
};

}  // namespace zotsim
