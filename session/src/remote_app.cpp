#include "remote_app.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <utility>

#include "system_error.h"
#include "trace.h"

namespace zot {
namespace {

// A retry of these is harmless when the terminal was only slow: reads and writes are
// preceded by a rewind to the failed request, the rewind itself can be repeated, and the
// session searches again behind a find step that went out twice. Any other command sent twice
// might be carried out twice (a second CreateFile), so those keep the whole reply timeout.
bool RetriesEarly(uint16_t command) {
    return command == kReadFile || command == kWriteFile || command == kSetFilePosToPre ||
           command == kFindNextFile;
}

// A request whose frame is lost on the way out gets no answer at all: only a time-out ends its
// attempt. On a line with bit errors a 1 KiB write frame is lost often enough that 5 s waits
// would cost more than the data, so those attempts end about one round trip after the send:
// the line time of the exchange plus this much over the turnaround the link has shown.
constexpr double kTurnaroundMarginMs = 20;
// Framing around a message on the line: start byte, two length bytes, checksum.
constexpr size_t kFramingBytes = 4;

// The reply a request asks for, as a message length: reads say how much they want, the
// calls that check the length know it exactly, the rest may get up to a whole message.
size_t ExpectedReplyBytes(uint16_t command, const uint8_t* data, size_t length,
                          size_t acceptedLength) {
    if (command == kReadFile && length >= 8)
        return kHeaderSize + 8 + std::min<size_t>(GetU32(data + 4), kMaxBlock);
    if (acceptedLength != CRemoteApp::kAnyLength) return kHeaderSize + acceptedLength;
    return kMaxPayload;
}

}  // namespace

CRemoteApp::CRemoteApp(IClock& clock) : m_clock(clock), m_link(this) {}

CRemoteApp::~CRemoteApp() {
    m_link.Close();
}

int CRemoteApp::LumoInit(int port, int baud, int compress) {
    m_deviceMissing = false;
    ForgetRoundTrips();
    if (!m_link.Open(port, baud)) return 0;
    m_link.SetCompression(compress != 0);
    return 1;
}

int CRemoteApp::LumoInitDevice(const std::string& device, int baud, int compress) {
    m_deviceMissing = false;
    ForgetRoundTrips();
    if (!m_link.OpenDevice(device, baud)) return 0;
    m_link.SetCompression(compress != 0);
    return 1;
}

int CRemoteApp::LumoUninit() {
    m_deviceMissing = false;
    m_link.Close();
    return 1;
}

int CRemoteApp::SetBaudrate(int baud) {
    m_deviceMissing = false;
    ForgetRoundTrips();
    return m_link.Reopen(baud);
}

CRemoteApp::Reply CRemoteApp::NoReply() const {
    qs::SetLastSystemError(m_link.OpenError());
    return Reply::kNone;
}

CRemoteApp::Reply CRemoteApp::Finish(Reply reply, int attempts) {
    m_lastReply = reply;
    m_lastAttempts = attempts;
    return reply;
}

void CRemoteApp::ForgetRoundTrips() {
    for (auto& r : m_roundTrip) r = RoundTrip{};
}

double CRemoteApp::LineMs(size_t messageBytes) const {
    const int baud = m_link.BaudRate();
    if (baud <= 0) return 0;
    // Ten bit times a byte (8N1).
    return static_cast<double>(messageBytes + kFramingBytes) * 10 * 1000 / baud;
}

void CRemoteApp::LearnRoundTrip(uint16_t command, double ms, double lineMs) {
    if (command >= kCommandCount || !RetriesEarly(command)) return;
    RoundTrip& r = m_roundTrip[command];
    const double turnaround = ms - lineMs;
    if (!r.known) {
        r.turnaround = turnaround;
        r.variation = ms / 2;
        r.known = true;
        return;
    }
    // The usual smoothing of round-trip estimators (gains 1/8 and 1/4).
    r.variation = 0.75 * r.variation + 0.25 * std::abs(r.turnaround - turnaround);
    r.turnaround = 0.875 * r.turnaround + 0.125 * turnaround;
}

int CRemoteApp::AttemptTimeout(uint16_t command, int attempt, size_t requestBytes,
                               size_t replyBytes) const {
    // The last attempt waits the whole time, so a terminal that is merely slow still gets its
    // answer through before the call gives up.
    if (command >= kCommandCount || !RetriesEarly(command) || !m_roundTrip[command].known ||
        attempt >= CSerialLink::kRetryCount || m_link.BaudRate() <= 0)
        return m_replyTimeoutMs;
    const RoundTrip& r = m_roundTrip[command];
    const double exchangeMs = LineMs(requestBytes) + LineMs(replyBytes);
    const double expectedMs = exchangeMs + r.turnaround + 4 * r.variation + kTurnaroundMarginMs;
    // Doubled for each attempt that went unanswered, in case the terminal has slowed down.
    const double ms = std::max(LineMs(replyBytes), expectedMs) * (1 << attempt);
    return static_cast<int>(std::ceil(std::min(ms, static_cast<double>(m_replyTimeoutMs))));
}

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
    return WaitReply(m_replyTimeoutMs);
}

int CRemoteApp::WaitReply(int timeoutMs) {
    return Await(timeoutMs, true) == Wait::kReply ? 1 : 0;
}

CRemoteApp::Wait CRemoteApp::Await(int timeoutMs, bool endOnLoss) {
    const auto deadline = m_clock.Now() + std::chrono::milliseconds(timeoutMs);
    // This thread reads the reply off the line itself: no other thread's wake-up stands
    // between the reply's last byte and the caller.
    const CSerialLink::Hold reading(m_link, true);
    for (;;) {
        {
            std::lock_guard lock(m_replyMutex);
            if (m_replyPending) {
                m_replyPending = false;
                const uint16_t command = GetU16(m_reply + 1);
                const uint16_t sequence = GetU16(m_reply + 3);
                const uint16_t d = GetU16(m_reply + 5);
                if (command == m_lastCommand && sequence == m_sequence && d <= kMaxData &&
                    kHeaderSize + d <= m_replyLength) {
                    m_stagingLength = d;
                    std::memset(m_staging, 0, sizeof m_staging);
                    std::memcpy(m_staging, m_reply + kHeaderSize, d);
                    return Wait::kReply;
                }
                // A late reply to an earlier attempt, or garbage: never accepted. The wait
                // goes on for this attempt's own reply within the same time-out.
                ZOT_TRACE("%-20s seq %5u  ignored reply cmd %u seq %u D %u",
                          CommandName(m_lastCommand), m_sequence, command, sequence, d);
            } else if (m_lossPending) {
                m_lossPending = false;
                if (endOnLoss) {
                    ZOT_TRACE("%-20s seq %5u  reply lost", CommandName(m_lastCommand), m_sequence);
                    return Wait::kLost;
                }
            }
        }
        if (m_link.DeviceGone()) {
            ZOT_TRACE("%-20s seq %5u  device gone", CommandName(m_lastCommand), m_sequence);
            return Wait::kGone;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - m_clock.Now());
        if (!reading.Held() || left.count() <= 0 ||
            !m_link.ReadSome(static_cast<int>(left.count()))) {
            ZOT_TRACE("%-20s seq %5u  no reply", CommandName(m_lastCommand), m_sequence);
            return Wait::kTimedOut;
        }
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
}

void CRemoteApp::FrameLost(const char* why) {
    ZOT_TRACE("frame dropped: %s", why);
    {
        std::lock_guard lock(m_replyMutex);
        m_lossPending = true;
    }
}

void CRemoteApp::AnnounceFollowing(uint16_t command, const uint8_t* data, size_t length) {
    m_followingKnown = length <= kMaxData && (length == 0 || data);
    if (!m_followingKnown) return;
    m_followingCommand = command;
    m_followingLength = length;
    if (length) std::memcpy(m_following, data, length);
}

void CRemoteApp::PrepareFollowing() {
    // A plain frame costs next to nothing to build when it is needed.
    if (!m_link.Compression()) return;
    uint8_t message[kMaxPayload];
    PutHeader(message, kTypeRequest, m_followingCommand, static_cast<uint16_t>(m_sequence + 1),
              static_cast<uint16_t>(m_followingLength));
    if (m_followingLength) std::memcpy(message + kHeaderSize, m_following, m_followingLength);
    m_link.PrepareAhead(message, kHeaderSize + m_followingLength);
}

CRemoteApp::Reply CRemoteApp::Call(uint16_t command, const uint8_t* data, size_t length,
                                   size_t acceptedLength, const RetryHook& beforeRetry) {
    if (length > kMaxData) return Finish(Reply::kNone, 0);
    // A line whose device went away is opened again by the next call that is not nested in
    // another (a rewind runs inside the read it rewinds); if it is still missing, the call
    // fails at once.
    if (m_depth == 0 && (m_link.DeviceGone() || m_deviceMissing)) {
        ForgetRoundTrips();
        // A failed reopen leaves the link closed: the next call tries again.
        m_deviceMissing = !m_link.Reopen(m_link.BaudRate());
        if (m_deviceMissing) return Finish(Reply::kGone, 0);
        ++m_reopens;
        ZOT_TRACE("device back: opened again");
    }
    struct Depth {
        int& depth;
        explicit Depth(int& d) : depth(d) { ++depth; }
        ~Depth() { --depth; }
    } depth(m_depth);
    struct Timer {
        const IClock& clock;
        IClock::TimePoint start;
        std::atomic<int64_t>& longest;
        ~Timer() {
            const int64_t ms =
                std::chrono::duration_cast<std::chrono::milliseconds>(clock.Now() - start).count();
            int64_t seen = longest.load();
            while (ms > seen && !longest.compare_exchange_weak(seen, ms)) {
            }
        }
    } timer{m_clock, m_clock.Now(), m_longestCallMs};
    // The hook may make calls of its own, so keep the request data apart from shared buffers.
    uint8_t request[kMaxData];
    if (length) std::memcpy(request, data, length);
    const size_t requestBytes = kHeaderSize + length;
    const size_t replyBytes = ExpectedReplyBytes(command, request, length, acceptedLength);
    const bool announced = std::exchange(m_followingKnown, false);
    // The budget is the reply timeout's: 1 + kRetryCount attempts that each waited their whole
    // time. Attempts that a damaged frame ended early cost nothing of it; they are re-sent at
    // once (up to kMaxEarlyRetries), which is what makes a noisy line fast.
    int waitedOut = 0;
    int endedEarly = 0;
    int attempts = 0;
    for (;;) {
        ++attempts;
        BeginRequest(command);
        uint8_t* msg = m_link.OutgoingMessage();
        PutU16(msg + 5, static_cast<uint16_t>(length));
        if (length) std::memcpy(msg + kHeaderSize, request, length);
        m_link.SetOutgoingLength(kHeaderSize + length);
        // Held from the send to the end of the wait, so the port cannot be closed under either.
        const CSerialLink::Hold hold(m_link, false);
        const auto sentAt = m_clock.Now();
        const bool sent = hold.Held() && m_link.SendPayload() != 0;
        ZOT_TRACE("%-20s seq %5u  D %4u  %s%s", CommandName(command), m_sequence,
                  static_cast<unsigned>(length), m_link.Compression() ? "zlib" : "plain",
                  sent ? "" : "  NOT SENT");
        if (sent && announced) PrepareFollowing();
        const Wait outcome = Await(AttemptTimeout(command, waitedOut, requestBytes, replyBytes),
                                   endedEarly < kMaxEarlyRetries);
        if (outcome == Wait::kReply) {
            // Only first attempts: a reply after a retry may answer either attempt.
            if (waitedOut == 0 && endedEarly == 0)
                LearnRoundTrip(
                    command,
                    std::chrono::duration<double, std::milli>(m_clock.Now() - sentAt).count(),
                    LineMs(requestBytes) + LineMs(kHeaderSize + m_stagingLength));
            ZOT_TRACE("%-20s seq %5u  reply D %u", CommandName(command), m_sequence,
                      static_cast<unsigned>(m_stagingLength));
            if (acceptedLength == kAnyLength || m_stagingLength == acceptedLength)
                return Finish(Reply::kAccepted, attempts);
            return Finish(Reply::kWrongLength, attempts);
        }
        // The device is gone: no attempt can reach it, so the call ends now.
        if (outcome == Wait::kGone || (!sent && m_link.DeviceGone()))
            return Finish(Reply::kGone, attempts);
        if (outcome == Wait::kLost)
            ++endedEarly;
        else if (++waitedOut > CSerialLink::kRetryCount)
            return Finish(NoReply(), attempts);
        if (beforeRetry && !beforeRetry(m_sequence)) {
            const Reply nested = m_lastReply;
            return Finish(nested == Reply::kGone ? Reply::kGone : NoReply(), attempts);
        }
    }
}

}  // namespace zot
