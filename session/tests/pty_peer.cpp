#include "pty_peer.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace zot::test {

PtyPeer::PtyPeer() {
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
        throw std::runtime_error("no pseudo-terminal");
    m_slavePath = ptsname(m_master);
    // Holding the slave open keeps the master usable while the library closes and reopens.
    m_slaveKeeper = ::open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios t{};
    tcgetattr(m_slaveKeeper, &t);
    cfmakeraw(&t);
    tcsetattr(m_slaveKeeper, TCSANOW, &t);
}

PtyPeer::~PtyPeer() {
    if (m_slaveKeeper >= 0) ::close(m_slaveKeeper);
    if (m_master >= 0) ::close(m_master);
}

std::optional<Request> PtyPeer::NextRequest(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    Bytes frame;
    for (;;) {
        while (!m_pending.empty()) {
            const uint8_t b = m_pending.front();
            m_pending.erase(m_pending.begin());
            if (b == kStartByte) frame.clear();
            frame.push_back(b);
            if (m_parser.Feed(b) != FrameParser::Result::kFrame) continue;
            Request r;
            r.frame = frame;
            const uint8_t* msg;
            size_t n;
            if (!m_codec.DecodePayload(m_parser.Payload(), m_parser.Length(), &msg, &n)) continue;
            r.compressed = m_parser.Payload()[0] == kZlibFirstByte;
            r.message.assign(msg, msg + n);
            return r;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) return std::nullopt;
        pollfd p{m_master, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
        uint8_t buf[4096];
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n > 0) m_pending.insert(m_pending.end(), buf, buf + n);
    }
}

void PtyPeer::SendRaw(const Bytes& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.data() + done, bytes.size() - done);
        if (n <= 0) throw std::runtime_error("pty write failed");
        done += static_cast<size_t>(n);
    }
}

Bytes PtyPeer::ReplyMessage(uint16_t command, uint16_t sequence, const Bytes& data) {
    Bytes m(kHeaderSize + data.size());
    PutHeader(m.data(), kTypeReply, command, sequence, static_cast<uint16_t>(data.size()));
    std::copy(data.begin(), data.end(), m.begin() + kHeaderSize);
    return m;
}

Bytes PtyPeer::Frame(const Bytes& message, bool compress) {
    CMessageCodec codec;
    Bytes f(kMaxFrame);
    f.resize(codec.EncodeMessage(message.data(), message.size(), compress, f.data()));
    return f;
}

}  // namespace zot::test
