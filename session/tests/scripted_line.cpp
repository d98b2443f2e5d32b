#include "scripted_line.h"

#include <algorithm>

namespace zot::test {

void ScriptedLine::SendAfter(double afterMs, const Bytes& bytes) {
    const auto at = m_clock.Now() + std::chrono::duration_cast<std::chrono::nanoseconds>(
                                        std::chrono::duration<double, std::milli>(afterMs));
    m_due.emplace(at, bytes);
}

void ScriptedLine::AnswerAfter(double afterMs, const Request& request, const Bytes& data) {
    SendAfter(afterMs,
              PtyPeer::Frame(PtyPeer::ReplyMessage(request.command(), request.sequence(), data)));
}

size_t ScriptedLine::Read(uint8_t* buffer, size_t max, int waitMs) {
    const auto until = m_clock.Now() + std::chrono::milliseconds(waitMs);
    if (m_due.empty() || m_due.begin()->first > until) {
        m_clock.AdvanceTo(until);
        return 0;
    }
    m_clock.AdvanceTo(m_due.begin()->first);
    size_t n = 0;
    while (n < max && !m_due.empty() && m_due.begin()->first <= m_clock.Now()) {
        Bytes& chunk = m_due.begin()->second;
        const size_t take = std::min(max - n, chunk.size());
        std::copy(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(take), buffer + n);
        n += take;
        if (take == chunk.size())
            m_due.erase(m_due.begin());
        else
            chunk.erase(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(take));
    }
    return n;
}

bool ScriptedLine::Write(const uint8_t* data, size_t length) {
    Bytes frame;
    for (size_t i = 0; i < length; ++i) {
        if (data[i] == kStartByte) frame.clear();
        frame.push_back(data[i]);
        if (m_parser.Feed(data[i]) != FrameParser::Result::kFrame) continue;
        const uint8_t* message = nullptr;
        size_t n = 0;
        if (!m_codec.DecodePayload(m_parser.Payload(), m_parser.Length(), &message, &n)) continue;
        Request r;
        r.frame = frame;
        r.message.assign(message, message + n);
        r.compressed = m_parser.Payload()[0] == kZlibFirstByte;
        m_sent.push_back({r, m_clock.Now()});
        m_terminal(*this, r);
    }
    return true;
}

}  // namespace zot::test
