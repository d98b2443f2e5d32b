#pragma once
// The link state of one session with a terminal and the request engine every remote call
// goes through: build a request with a fresh sequence number, send it, wait for the reply that
// echoes its command and sequence number, retry.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "clock.h"
#include "serial_link.h"

namespace zot {

class CRemoteApp : public IMessageSink {
  public:
    // Accepted-length value for calls that check the reply length themselves.
    static constexpr size_t kAnyLength = static_cast<size_t>(-1);

    enum class Reply {
        kAccepted,     // ReplyData()/ReplyLength() hold the reply's data
        kWrongLength,  // matching reply of the wrong data length: the call fails at once
        kNone,         // no acceptable reply after every attempt
        kGone,         // the serial device went away (or could not be opened again)
    };
    // Called before each retry; returning false gives up.
    using RetryHook = std::function<bool(uint32_t failedSequence)>;

    // Damaged frames may end this many attempts of one call early (each re-sent at once);
    // after that they are ignored like any other invalid frame and only the time-outs end
    // attempts, so a line that garbles every reply cannot keep a call going for ever.
    static constexpr int kMaxEarlyRetries = 16;

    explicit CRemoteApp(IClock& clock = SteadyClock());
    ~CRemoteApp() override;
    CRemoteApp(const CRemoteApp&) = delete;
    CRemoteApp& operator=(const CRemoteApp&) = delete;

    // 1 when the port opened; on failure the compression switch keeps its value.
    int LumoInit(int port, int baud, int compress);
    int LumoInitDevice(const std::string& device, int baud, int compress);
    int LumoUninit();
    int SetBaudrate(int baud);
    // Why the last open of the port failed, in the system's own code; 0 once it opened.
    int OpenError() const { return m_link.OpenError(); }

    // One whole remote call: data (at most kMaxData bytes) is sent with each attempt. When no
    // reply came, the system's last error is left at OpenError(): 0 on an open port, so a
    // caller can tell a quiet terminal from a port that never opened.
    Reply Call(uint16_t command, const uint8_t* data, size_t length, size_t acceptedLength,
               const RetryHook& beforeRetry = nullptr);
    // The request that will most likely follow the next Call(): that call frames it while
    // its own reply is on the way (again after each retry), which saves the compression time
    // on the next round trip when the guess is right. A wrong guess costs one wasted framing
    // and changes nothing on the line. Used by the next Call() only.
    void AnnounceFollowing(uint16_t command, const uint8_t* data, size_t length);
    const uint8_t* ReplyData() const { return m_staging; }
    // What the last whole call came to, and how many requests it sent: more than one means
    // the terminal may have carried out an attempt whose reply never came.
    Reply LastReply() const { return m_lastReply; }
    int LastAttempts() const { return m_lastAttempts; }
    // A reply that came but makes no sense to the call that asked (more bytes than asked).
    void MarkBadReply() { m_lastReply = Reply::kWrongLength; }
    // Forgets the last call's report, so a call refused before sending leaves none.
    void ClearLastReply() {
        m_lastReply = Reply::kNone;
        m_lastAttempts = 0;
    }
    // How many times a call opened the line again after its device went away.
    uint32_t Reopens() const { return m_reopens; }
    // The line's device went away and has not been opened again yet.
    bool DeviceGone() const { return m_deviceMissing || m_link.DeviceGone(); }
    size_t ReplyLength() const { return m_stagingLength; }

    // The engine's steps, public for the calls that need them and for tests.
    void BeginRequest(uint16_t command);
    // 1 when the reply to the last request built arrived within the reply timeout (or
    // timeoutMs); 0 on time-out or as soon as a frame is known to be lost.
    int WaitReply();
    int WaitReply(int timeoutMs);
    // How long a call of command waits for its reply after `attempt` (0-based) earlier
    // attempts ran out their whole wait. Read, write and rewind attempts wait the line time of
    // their exchange plus a margin over the turnaround the link has shown so far (never less
    // than the line time of the reply); the others, and every call's last attempt, wait the
    // whole reply timeout. requestBytes and replyBytes are message lengths.
    int AttemptTimeout(uint16_t command, int attempt, size_t requestBytes = kMaxPayload,
                       size_t replyBytes = kMaxPayload) const;
    uint32_t CurrentSequence() const { return m_sequence; }
    // Lets tests reach the wrap of the counter without 65535 round trips.
    void SetSequenceForTesting(uint16_t sequence) { m_sequence = sequence; }

    void DeliverMessage(const uint8_t* message, size_t length) override;
    void FrameLost(const char* why) override;

    CSerialLink& Link() { return m_link; }
    // The reply timeout is fixed for users of the library; tests shorten it.
    void SetReplyTimeout(int ms) { m_replyTimeoutMs = ms; }
    int ReplyTimeout() const { return m_replyTimeoutMs; }

    // Longest whole call (nested rewinds included) since the last reset, for soak tests and
    // diagnostics.
    int64_t LongestCallMs() const { return m_longestCallMs.load(); }
    void ResetLongestCall() { m_longestCallMs.store(0); }

    // Set while a ZOT_CopyFileExW copy thread runs; a second one is refused meanwhile.
    std::atomic<bool>& CopyRunning() { return m_copyRunning; }

  private:
    enum class Wait { kReply, kLost, kTimedOut, kGone };
    Reply Finish(Reply reply, int attempts);
    Wait Await(int timeoutMs, bool endOnLoss);
    Reply NoReply() const;

    // What one command's answered first attempts took beyond the line time of their bytes
    // (the terminal's work and the PC's latency; below zero on a line faster than its
    // nominal speed), smoothed, in milliseconds.
    struct RoundTrip {
        double turnaround = 0;
        double variation = 0;
        bool known = false;
    };
    double LineMs(size_t messageBytes) const;
    void LearnRoundTrip(uint16_t command, double ms, double lineMs);
    void ForgetRoundTrips();
    void PrepareFollowing();

    IClock& m_clock;
    CSerialLink m_link;
    uint16_t m_lastCommand = 0;
    uint16_t m_sequence = 0;  // wraps from 65535 to 0
    int m_replyTimeoutMs = CSerialLink::kReplyTimeoutMs;
    RoundTrip m_roundTrip[kCommandCount] = {};

    // What AnnounceFollowing() said: the data of the request after the next call.
    bool m_followingKnown = false;
    uint16_t m_followingCommand = 0;
    size_t m_followingLength = 0;
    uint8_t m_following[kMaxData] = {};

    // Reply data of the last accepted reply.
    size_t m_stagingLength = 0;
    uint8_t m_staging[kMaxPayload] = {};

    // The newest reply message, complete before it is flagged. The reader thread may deliver
    // one while a call starts, so it is copied out under the lock and never overwritten
    // mid-read.
    std::mutex m_replyMutex;
    bool m_replyPending = false;
    // A frame was lost while a request waited: on this line it can only have been a reply,
    // most likely the awaited one, so the attempt ends now instead of at the time-out.
    bool m_lossPending = false;
    size_t m_replyLength = 0;
    uint8_t m_reply[kMaxPayload] = {};

    Reply m_lastReply = Reply::kNone;
    int m_lastAttempts = 0;
    int m_depth = 0;  // calls in progress on this thread: a retry's rewind nests
    uint32_t m_reopens = 0;
    // A reopen failed: the link stays closed until one works. Close() may come from another
    // thread while a call runs.
    std::atomic<bool> m_deviceMissing{false};

    std::atomic<bool> m_copyRunning{false};
    std::atomic<int64_t> m_longestCallMs{0};
};

}  // namespace zot
