#include "simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>

#include "bit_errors.h"
#include "command_handler.h"
#include "fault_plan.h"
#include "frame_codec.h"
#include "line_pacer.h"
#include "message_codec.h"
#include "protocol.h"
#include "sim_pty.h"
#include "tty_posix.h"

namespace zotsim {
namespace {

using Clock = std::chrono::steady_clock;

// Longest wait between looks at a stop flag we cannot be woken for.
constexpr auto kPollSlice = std::chrono::milliseconds(50);
// A reply nobody reads is abandoned after this long rather than holding up the server.
constexpr auto kWriteTimeout = std::chrono::seconds(1);
// Bytes of serial data in one USB packet of the common adapters (64, less 2 status bytes).
constexpr size_t kAdapterPacket = 62;
// A benchmark can send millions of requests; the log of them stays bounded.
constexpr size_t kMaxRecords = size_t{1} << 20;

bool Special(uint8_t b) {
    return b == zot::kStartByte || zot::NeedsEscape(b);
}

// Flips one bit of one payload byte of an encoded frame, leaving its checksum as it was, so
// the receiver sees a complete frame that fails its check. Frame structure is kept: the byte
// chosen is no escape or start byte and does not become one.
void CorruptFrame(uint8_t* frame, size_t length) {
    size_t pos = 1;
    for (int i = 0; i < 2 && pos < length; ++i) pos += frame[pos] == zot::kEscapeByte ? 2 : 1;
    // The checksum takes two bytes when escaped; an escape's second byte is never 0x7E.
    const size_t end =
        length >= 2 && frame[length - 2] == zot::kEscapeByte ? length - 2 : length - 1;
    for (size_t p = pos + (end - pos) / 2; p < end; ++p) {
        if (frame[p] == zot::kEscapeByte || frame[p - 1] == zot::kEscapeByte) continue;
        for (uint8_t bit = 1; bit != 0; bit = static_cast<uint8_t>(bit << 1)) {
            if (Special(static_cast<uint8_t>(frame[p] ^ bit))) continue;
            frame[p] ^= bit;
            return;
        }
    }
}

}  // namespace

struct CSimulator::Impl {
    explicit Impl(Options o)
        : options(std::move(o)),
          handler(options),
          rxPacer(options.baud),
          txPacer(options.baud),
          rxErrors(options.bitErrorRate, options.seed),
          txErrors(options.bitErrorRate, options.seed + 1) {}

    bool Stopping() const { return (stop && stop->load()) || unplugRequested.load(); }
    void Wake() const {
        const uint8_t b = 1;
        [[maybe_unused]] const ssize_t n = ::write(wake[1], &b, 1);
    }
    void DrainWake() const {
        uint8_t buf[64];
        while (::read(wake[0], buf, sizeof buf) > 0) {
        }
    }
    bool SleepUntil(Clock::time_point until) const;
    void HandleUnplug();
    void OnBytes(const uint8_t* bytes, size_t count);
    void OnFrame(const uint8_t* payload, size_t length);
    void Reply(uint16_t command, uint16_t sequence, bool compress, const FaultActions& faults,
               const std::vector<uint8_t>& data);
    void WritePaced(uint8_t* frame, size_t length);
    size_t EncodeReply(const std::vector<uint8_t>& message, bool compress);
    void PrepareNextRead(uint16_t sequence, bool compress);

    const Options options;
    CCommandHandler handler;
    CSimPty line;
    CFaultPlan faults;
    CLinePacer rxPacer;
    CLinePacer txPacer;
    CBitErrors rxErrors;
    CBitErrors txErrors;
    std::atomic<uint64_t> bytesIn{0};
    std::atomic<uint64_t> bytesOut{0};
    std::atomic<uint64_t> bitsFlipped{0};
    std::string pluggedLink;  // the symlink Unplug() removed, for Replug()
    zot::FrameParser parser;
    zot::CMessageCodec rxCodec;  // its output is the request being handled...
    zot::CMessageCodec txCodec;  // ...while this one encodes the reply
    std::vector<uint8_t> request;
    std::vector<uint8_t> replyData;
    uint8_t frame[zot::kMaxFrame] = {};
    // A file read in blocks asks for the next block next: its reply is framed while the PC
    // handles this one, and used when the real reply comes out the same, byte for byte.
    std::vector<uint8_t> aheadMessage;
    bool aheadCompress = false;
    size_t aheadFrameLength = 0;
    uint8_t aheadFrame[zot::kMaxFrame] = {};

    mutable std::mutex recordMutex;
    std::vector<RequestRecord> records;
    std::atomic<uint32_t> requestCount{0};

    int wake[2] = {-1, -1};  // self-pipe: Stop() and Unplug() interrupt polls and sleeps
    const std::atomic<bool>* stop = nullptr;  // the flag of the running Serve()
    std::atomic<bool> ownStop{false};
    std::thread thread;

    // Unplug() hands the closing of the line to the serving thread, which may be using it.
    std::mutex lineMutex;
    std::condition_variable lineChanged;
    bool serving = false;
    std::atomic<bool> unplugRequested{false};
};

bool CSimulator::Impl::SleepUntil(Clock::time_point until) const {
    for (;;) {
        if (Stopping()) return false;
        const auto now = Clock::now();
        if (now >= until) return true;
        // ppoll's nanosecond time-out keeps line pacing accurate without spinning.
        const auto left = std::min<Clock::duration>(until - now, kPollSlice);
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        const timespec ts{static_cast<time_t>(ns / 1'000'000'000),
                          static_cast<long>(ns % 1'000'000'000)};
        pollfd p{wake[0], POLLIN, 0};
        ::ppoll(&p, 1, &ts, nullptr);
    }
}

void CSimulator::Impl::HandleUnplug() {
    std::lock_guard<std::mutex> lock(lineMutex);
    pluggedLink = line.Link();
    line.Close();
    parser.Abandon();
    unplugRequested = false;
    lineChanged.notify_all();
}

void CSimulator::Impl::OnBytes(const uint8_t* bytes, size_t count) {
    // At line rate the chunk's bytes arrive one after another from when the line is free.
    const Clock::time_point start = rxPacer.Reserve(Clock::now(), count);
    for (size_t i = 0; i < count;) {
        size_t used = 0;
        const auto result = parser.Feed(bytes + i, count - i, &used);
        i += used;
        if (result == zot::FrameParser::Result::kBadFrame && options.log)
            std::fprintf(stderr, "zotsim: frame with a bad checksum or length dropped\n");
        if (result != zot::FrameParser::Result::kFrame) continue;
        if (rxPacer.Enabled() && !SleepUntil(start + rxPacer.Duration(i))) return;
        OnFrame(parser.Payload(), parser.Length());
    }
}

void CSimulator::Impl::OnFrame(const uint8_t* payload, size_t length) {
    const bool compressed = length > 0 && payload[0] == zot::kZlibFirstByte;
    const uint8_t* message = nullptr;
    size_t messageLength = 0;
    if (!rxCodec.DecodePayload(payload, length, &message, &messageLength) ||
        messageLength < zot::kHeaderSize || message[0] != zot::kTypeRequest ||
        zot::kHeaderSize + zot::GetU16(message + 5) != messageLength) {
        if (options.log) std::fprintf(stderr, "zotsim: frame of %zu bytes ignored\n", length);
        return;
    }
    request.assign(message, message + messageLength);
    const uint16_t command = zot::GetU16(request.data() + 1);
    const uint16_t sequence = zot::GetU16(request.data() + 3);
    const uint16_t dataLength = zot::GetU16(request.data() + 5);
    const uint32_t ordinal = ++requestCount;
    {
        std::lock_guard<std::mutex> lock(recordMutex);
        if (records.size() < kMaxRecords)
            records.push_back(RequestRecord{command, sequence, dataLength, compressed});
    }
    const FaultActions actions = faults.Take(ordinal, command);
    const bool known = handler.Handle(command, sequence, request.data() + zot::kHeaderSize,
                                      dataLength, &replyData);
    if (options.log) {
        std::fprintf(stderr, "zotsim: #%u %s seq=%u D=%u %s", ordinal, zot::CommandName(command),
                     sequence, dataLength, compressed ? "compressed" : "plain");
        if (!known) {
            std::fprintf(stderr, " -> unknown command, no reply\n");
        } else {
            // The last value of a reply is its result in every layout that has one.
            const uint32_t result =
                replyData.size() >= 4 ? zot::GetU32(replyData.data() + replyData.size() - 4) : 0;
            std::fprintf(stderr, " -> D=%zu result=0x%08X%s%s%s%s", replyData.size(), result,
                         actions.drop ? " [dropped]" : "", actions.stale ? " [stale]" : "",
                         actions.corrupt ? " [corrupted]" : "",
                         actions.wrongLength ? " [wrong length]" : "");
            if (actions.delayMs > 0) std::fprintf(stderr, " [delayed %d ms]", actions.delayMs);
            std::fprintf(stderr, "\n");
        }
    }
    if (!known || actions.drop) return;
    const bool compress = compressed || options.compressReplies;
    Reply(command, sequence, compress, actions, replyData);
    if (command == zot::kReadFile && compress) PrepareNextRead(sequence, compress);
}

void CSimulator::Impl::PrepareNextRead(uint16_t sequence, bool compress) {
    aheadMessage.clear();
    std::vector<uint8_t> data;
    if (!handler.NextReadReply(request.data() + zot::kHeaderSize, request.size() - zot::kHeaderSize,
                               &data))
        return;
    std::vector<uint8_t> message(zot::kHeaderSize + data.size());
    zot::PutHeader(message.data(), zot::kTypeReply, zot::kReadFile,
                   static_cast<uint16_t>(sequence + 1), static_cast<uint16_t>(data.size()));
    std::copy(data.begin(), data.end(), message.begin() + zot::kHeaderSize);
    aheadFrameLength = txCodec.EncodeMessage(message.data(), message.size(), compress, aheadFrame);
    if (aheadFrameLength == 0) return;
    aheadMessage = std::move(message);
    aheadCompress = compress;
}

size_t CSimulator::Impl::EncodeReply(const std::vector<uint8_t>& message, bool compress) {
    if (!aheadMessage.empty() && aheadCompress == compress && aheadMessage == message) {
        aheadMessage.clear();
        std::copy(aheadFrame, aheadFrame + aheadFrameLength, frame);
        return aheadFrameLength;
    }
    aheadMessage.clear();
    return txCodec.EncodeMessage(message.data(), message.size(), compress, frame);
}

void CSimulator::Impl::Reply(uint16_t command, uint16_t sequence, bool compress,
                             const FaultActions& actions, const std::vector<uint8_t>& data) {
    const size_t dataLength = data.size() + (actions.wrongLength ? 1 : 0);
    if (dataLength > zot::kMaxData) return;
    std::vector<uint8_t> message(zot::kHeaderSize + dataLength, 0);
    const uint16_t echoed = actions.stale ? static_cast<uint16_t>(sequence - 1) : sequence;
    zot::PutHeader(message.data(), zot::kTypeReply, command, echoed,
                   static_cast<uint16_t>(dataLength));
    std::copy(data.begin(), data.end(), message.begin() + zot::kHeaderSize);
    const int delayMs = options.latencyMs + actions.delayMs;
    if (delayMs > 0 && !SleepUntil(Clock::now() + std::chrono::milliseconds(delayMs))) return;
    const size_t frameLength = EncodeReply(message, compress);
    if (frameLength == 0) return;
    if (actions.corrupt) CorruptFrame(frame, frameLength);
    WritePaced(frame, frameLength);
}

void CSimulator::Impl::WritePaced(uint8_t* bytes, size_t length) {
    const int fd = line.Fd();
    bytesOut += length;
    bitsFlipped += txErrors.Apply(bytes, length);
    // A USB serial adapter at the PC end passes what it receives on in packets: a full one at
    // once, the rest only when its latency timer runs out, so the last bytes of a reply wait.
    const size_t held = options.latencyTimerMs > 0 ? length % kAdapterPacket : 0;
    const auto hold = std::chrono::milliseconds(options.latencyTimerMs);
    const size_t passed = length - held;
    if (!txPacer.Enabled()) {
        if (!qs::WriteAll(fd, bytes, passed, Clock::now() + kWriteTimeout)) return;
        if (held > 0 && SleepUntil(Clock::now() + hold))
            qs::WriteAll(fd, bytes + passed, held, Clock::now() + kWriteTimeout);
        return;
    }
    // Handed over in pieces of about 5 ms of line time, each when its last byte would have
    // crossed the line: the client sees the reply arrive as from a real line.
    const size_t piece = std::max<size_t>(1, static_cast<size_t>(options.baud) / 10 / 200);
    const Clock::time_point start = txPacer.Reserve(Clock::now(), length);
    for (size_t done = 0; done < passed;) {
        const size_t end = std::min(passed, done + piece);
        if (!SleepUntil(start + txPacer.Duration(end))) return;
        if (!qs::WriteAll(fd, bytes + done, end - done, Clock::now() + kWriteTimeout)) return;
        done = end;
    }
    if (held > 0 && SleepUntil(start + txPacer.Duration(length) + hold))
        qs::WriteAll(fd, bytes + passed, held, Clock::now() + kWriteTimeout);
}

CSimulator::CSimulator(Options options) : m_impl(std::make_unique<Impl>(std::move(options))) {
    if (::pipe2(m_impl->wake, O_CLOEXEC | O_NONBLOCK) != 0) m_impl->wake[0] = m_impl->wake[1] = -1;
}

CSimulator::~CSimulator() {
    Stop();
    m_impl->line.Close();
    for (int fd : m_impl->wake)
        if (fd >= 0) ::close(fd);
}

bool CSimulator::OpenPty(const std::string& link) {
    return m_impl->line.OpenPty(link);
}

bool CSimulator::OpenDevice(const std::string& path, int baud) {
    return m_impl->line.OpenDevice(path, baud);
}

const std::string& CSimulator::SlavePath() const {
    return m_impl->line.SlavePath();
}

bool CSimulator::Start() {
    Impl& s = *m_impl;
    if (s.thread.joinable() || s.line.Fd() < 0 || s.wake[0] < 0 || !s.handler.Valid()) return false;
    s.ownStop = false;
    s.thread = std::thread([this] { Serve(m_impl->ownStop); });
    return true;
}

void CSimulator::Stop() {
    Impl& s = *m_impl;
    if (!s.thread.joinable()) return;
    s.ownStop = true;
    s.Wake();
    s.thread.join();
}

void CSimulator::Serve(const std::atomic<bool>& stop) {
    Impl& s = *m_impl;
    if (s.wake[0] < 0 || !s.handler.Valid()) return;
    {
        std::lock_guard<std::mutex> lock(s.lineMutex);
        s.serving = true;
    }
    s.stop = &stop;
    s.DrainWake();
    uint8_t buf[4096];
    while (!stop.load()) {
        if (s.unplugRequested.load()) s.HandleUnplug();
        int fd;
        {
            // Replug() may be putting a new line in place.
            std::lock_guard<std::mutex> lock(s.lineMutex);
            fd = s.line.Fd();
        }
        pollfd fds[2] = {{s.wake[0], POLLIN, 0}, {fd, POLLIN, 0}};
        const int r = ::poll(fds, fd >= 0 ? 2 : 1, static_cast<int>(kPollSlice.count()));
        s.DrainWake();
        if (r <= 0 || fd < 0 || fds[1].revents == 0) continue;
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) {
            s.bytesIn += static_cast<uint64_t>(n);
            s.bitsFlipped += s.rxErrors.Apply(buf, static_cast<size_t>(n));
            s.OnBytes(buf, static_cast<size_t>(n));
        } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
            // A device that went away reports it on every read: wait instead of spinning.
            s.SleepUntil(Clock::now() + kPollSlice);
        }
    }
    s.stop = nullptr;
    std::lock_guard<std::mutex> lock(s.lineMutex);
    s.serving = false;
    s.lineChanged.notify_all();
}

void CSimulator::AddFault(const Fault& fault) {
    m_impl->faults.Add(fault);
}

void CSimulator::ClearFaults() {
    m_impl->faults.Clear();
}

std::vector<RequestRecord> CSimulator::Requests() const {
    std::lock_guard<std::mutex> lock(m_impl->recordMutex);
    return m_impl->records;
}

uint32_t CSimulator::RequestCount() const {
    return m_impl->requestCount.load();
}

void CSimulator::Unplug() {
    Impl& s = *m_impl;
    std::unique_lock<std::mutex> lock(s.lineMutex);
    if (s.serving) {
        s.unplugRequested = true;
        s.Wake();
        s.lineChanged.wait(lock, [&] { return !s.unplugRequested.load() || !s.serving; });
    }
    if (s.unplugRequested.load() || !s.serving) {
        s.pluggedLink = s.line.Link();
        s.line.Close();
        s.unplugRequested = false;
    }
}

bool CSimulator::Replug() {
    Impl& s = *m_impl;
    // The serving thread polls the line only when it is open, so a closed line can be
    // replaced under the lock without racing it.
    std::lock_guard<std::mutex> lock(s.lineMutex);
    if (s.line.Fd() >= 0) return false;
    const bool ok = s.line.OpenPty(s.pluggedLink);
    s.parser.Abandon();
    s.Wake();
    return ok;
}

uint64_t CSimulator::BytesReceived() const {
    return m_impl->bytesIn.load();
}
uint64_t CSimulator::BytesSent() const {
    return m_impl->bytesOut.load();
}
uint64_t CSimulator::BitsFlipped() const {
    return m_impl->bitsFlipped.load();
}

}  // namespace zotsim
