#include "remote_app.h"

#include <chrono>
#include <cstring>

#include "trace.h"

namespace zot {

CRemoteApp::CRemoteApp() : m_link(this) {}

CRemoteApp::~CRemoteApp() { m_link.Close(); }

int CRemoteApp::LumoInit(int port, int baud, int compress) {
    if (!m_link.Open(port, baud)) return 0;
    m_link.SetCompression(compress != 0);
    return 1;
}

int CRemoteApp::LumoInitDevice(const std::string& device, int baud, int compress) {
    if (!m_link.OpenDevice(device, baud)) return 0;
    m_link.SetCompression(compress != 0);
    return 1;
}

int CRemoteApp::LumoUninit() {
    m_link.Close();
    return 1;
}

int CRemoteApp::SetBaudrate(int baud) { return m_link.Reopen(baud); }

void CRemoteApp::BeginRequest(uint16_t command) {
    uint8_t* msg = m_link.OutgoingMessage();
    std::memset(msg, 0, kMaxPayload);
    ++m_sequence;
    PutHeader(msg, kTypeRequest, command, m_sequence, 0);
    m_lastCommand = command;
    m_link.SetOutgoingLength(kHeaderSize);
    // A reply that came in since the last wait belongs to an earlier request.
    std::lock_guard lock(m_replyMutex);
    m_replyPending = false;
    m_lossPending = false;
}

int CRemoteApp::WaitReply() {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(m_replyTimeoutMs);
    std::unique_lock lock(m_replyMutex);
    for (;;) {
        if (!m_replyReady.wait_until(lock, deadline,
                                     [this] { return m_replyPending || m_lossPending; })) {
            ZOT_TRACE("%-20s seq %5u  no reply", CommandName(m_lastCommand), m_sequence);
            return 0;
        }
        if (!m_replyPending) {
            m_lossPending = false;
            ZOT_TRACE("%-20s seq %5u  reply lost", CommandName(m_lastCommand), m_sequence);
            return 0;
        }
        m_replyPending = false;
        const uint16_t command = GetU16(m_reply + 1);
        const uint16_t sequence = GetU16(m_reply + 3);
        const uint16_t d = GetU16(m_reply + 5);
        if (command != m_lastCommand || sequence != m_sequence || d > kMaxData ||
            kHeaderSize + d > m_replyLength) {
            // A late reply to an earlier attempt, or garbage: never accepted. The wait goes
            // on for this attempt's own reply within the same time-out.
            ZOT_TRACE("%-20s seq %5u  ignored reply cmd %u seq %u D %u", CommandName(m_lastCommand),
                      m_sequence, command, sequence, d);
            continue;
        }
        m_stagingLength = d;
        std::memset(m_staging, 0, sizeof m_staging);
        std::memcpy(m_staging, m_reply + kHeaderSize, d);
        return 1;
    }
}

void CRemoteApp::DeliverMessage(const uint8_t* message, size_t length) {
    if (message[0] != kTypeReply) return;
    {
        std::lock_guard lock(m_replyMutex);
        std::memcpy(m_reply, message, length);
        m_replyLength = length;
        m_replyPending = true;
    }
    m_replyReady.notify_one();
}

void CRemoteApp::FrameLost(const char* why) {
    ZOT_TRACE("frame dropped: %s", why);
    {
        std::lock_guard lock(m_replyMutex);
        m_lossPending = true;
    }
    m_replyReady.notify_one();
}

CRemoteApp::Reply CRemoteApp::Call(uint16_t command, const uint8_t* data, size_t length,
                                   size_t acceptedLength, const RetryHook& beforeRetry) {
    if (length > kMaxData) return Reply::kNone;
    // The hook may make calls of its own, so keep the request data apart from shared buffers.
    uint8_t request[kMaxData];
    if (length) std::memcpy(request, data, length);
    for (int attempt = -1;;) {
        BeginRequest(command);
        uint8_t* msg = m_link.OutgoingMessage();
        PutU16(msg + 5, static_cast<uint16_t>(length));
        if (length) std::memcpy(msg + kHeaderSize, request, length);
        m_link.SetOutgoingLength(kHeaderSize + length);
        const bool sent = m_link.SendPayload() != 0;
        ZOT_TRACE("%-20s seq %5u  D %4zu  %s%s", CommandName(command), m_sequence, length,
                  m_link.Compression() ? "zlib" : "plain", sent ? "" : "  NOT SENT");
        if (WaitReply()) {
            ZOT_TRACE("%-20s seq %5u  reply D %zu", CommandName(command), m_sequence,
                      m_stagingLength);
            if (acceptedLength == kAnyLength || m_stagingLength == acceptedLength)
                return Reply::kAccepted;
            return Reply::kWrongLength;
        }
        if (++attempt >= CSerialLink::kRetryCount) return Reply::kNone;
        if (beforeRetry && !beforeRetry(m_sequence)) return Reply::kNone;
    }
}

}  // namespace zot
