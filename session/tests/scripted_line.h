#pragma once
// A serial line in memory under a manual clock, for engine tests that must be exact: the
// test's terminal sees each request the moment it is written and schedules bytes for the
// library at any time ahead; a read that finds nothing due moves the clock on to the next
// bytes, or to the end of its wait. Run the link without its reader thread, so every read is
// the calling thread's and nothing else moves the clock.
#include <chrono>
#include <functional>
#include <map>

#include "clock.h"
#include "pty_peer.h"
#include "serial_port.h"

namespace zot::test {

class ScriptedLine final : public ISerialPort {
  public:
    using Terminal = std::function<void(ScriptedLine& line, const Request& request)>;
    ScriptedLine(CManualClock& clock, Terminal terminal)
        : m_clock(clock), m_terminal(std::move(terminal)) {}

    // Bytes that reach the library afterMs from now.
    void SendAfter(double afterMs, const Bytes& bytes);
    // The reply message to request with data, framed, afterMs from now.
    void AnswerAfter(double afterMs, const Request& request, const Bytes& data);

    struct Sent {
        Request request;
        CManualClock::TimePoint at;
    };
    const std::vector<Sent>& Requests() const { return m_sent; }

    size_t Read(uint8_t* buffer, size_t max, int waitMs) override;
    bool Write(const uint8_t* data, size_t length) override;
    bool Purge() override { return true; }

  private:
    CManualClock& m_clock;
    Terminal m_terminal;
    std::multimap<CManualClock::TimePoint, Bytes> m_due;
    std::vector<Sent> m_sent;
    FrameParser m_parser;
    CMessageCodec m_codec;
};

// Milliseconds between two times of the manual clock.
inline double MsBetween(CManualClock::TimePoint from, CManualClock::TimePoint to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

}  // namespace zot::test
