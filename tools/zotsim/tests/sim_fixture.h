#pragma once
// A simulator serving a fresh temporary folder on a pty, and a client on the slave that
// speaks real frames to it.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "frame_codec.h"
#include "message_codec.h"
#include "simulator.h"

namespace zotsim::test {

struct ReplyMessage {
    uint8_t type = 0;
    uint16_t command = 0;
    uint16_t sequence = 0;
    std::vector<uint8_t> data;
    bool compressed = false;

    uint32_t U32(size_t offset) const;
};

// The PC's end of the line: the pty slave, raw, as the library opens it.
class CTestClient {
  public:
    ~CTestClient() { Close(); }
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }
    int Fd() const { return m_fd; }

    bool SendRaw(const std::vector<uint8_t>& bytes);
    // Frames the request message, compressed when asked.
    bool SendMessage(uint16_t command, uint16_t sequence, const std::vector<uint8_t>& data,
                     bool compress);
    // The next frame that passes its checksum, or nothing within timeoutMs.
    std::optional<ReplyMessage> Receive(int timeoutMs);
    // Counts frames failing their checksum seen by Receive().
    int BadFrames() const { return m_badFrames; }

  private:
    int m_fd = -1;
    zot::FrameParser m_parser;
    zot::CMessageCodec m_codec;
    int m_badFrames = 0;
};

// Request data builders.
std::vector<uint8_t> U32s(std::initializer_list<uint32_t> values);
std::vector<uint8_t> PathString(const std::string& path);
std::vector<uint8_t> operator+(std::vector<uint8_t> a, const std::vector<uint8_t>& b);

class SimulatorTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the simulator on m_root with options and connects m_client.
    void Start(Options options = {});

    // Sends one request with the next sequence number; returns its reply when one comes.
    std::optional<ReplyMessage> Call(uint16_t command, const std::vector<uint8_t>& data = {},
                                     bool compress = false, int timeoutMs = 2000);
    // Call() that must succeed with a reply echoing the request.
    ReplyMessage MustCall(uint16_t command, const std::vector<uint8_t>& data = {});

    // Helpers for the common request shapes; each returns the first reply value.
    uint32_t CallPath(uint16_t command, const std::string& path);
    uint32_t CallPathValue(uint16_t command, const std::string& path, uint32_t value);
    uint32_t CallHandle(uint16_t command, uint32_t handle);
    uint32_t CreateFile(const std::string& path) { return CallPathValue(10, path, 0xC0000000); }
    uint32_t OpenFile(const std::string& path, uint32_t mode = 2) {
        return CallPathValue(11, path, mode);
    }

    std::string HostPath(const std::string& relative) const { return m_root + "/" + relative; }
    void WriteHostFile(const std::string& relative, const std::string& content);
    std::string ReadHostFile(const std::string& relative) const;

    std::string m_root;     // the served folder
    std::string m_outside;  // a folder next to it the simulator must never reach
    std::unique_ptr<CSimulator> m_sim;
    CTestClient m_client;
    uint16_t m_sequence = 0;
};

}  // namespace zotsim::test
