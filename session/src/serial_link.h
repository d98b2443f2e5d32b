#pragma once
// The one serial line to the terminal: opens the port, frames and writes outgoing messages,
// and parses incoming frames as a byte stream, handing each complete message to its owner the
// moment its last byte arrives. A thread waiting for a reply reads the line itself; a reader
// thread keeps it between calls.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "frame_codec.h"
#include "message_codec.h"
#include "serial_port.h"

namespace zot {

// Receives what the link parses: on the reader thread, or on a thread inside ReadSome().
class IMessageSink {
  public:
    virtual ~IMessageSink() = default;
    // A complete plain message (already inflated), at most kMaxPayload bytes.
    virtual void DeliverMessage(const uint8_t* message, size_t length) = 0;
    // A frame was lost: bad checksum, bad length, would not inflate, or cut off by silence.
    virtual void FrameLost(const char* why) = 0;
};

class CSerialLink {
  public:
    static constexpr int kDefaultBaud = 115200;
    static constexpr int kReplyTimeoutMs = 5000;
    static constexpr int kRetryCount = 3;
    static constexpr int kChunkWaitMs = 30;  // quiet time that ends a read between frames
    static constexpr int kByteWaitMs = 50;   // silence inside a frame that abandons it
    static constexpr size_t kReadBufferSize = 4096;

    explicit CSerialLink(IMessageSink* owner);
    virtual ~CSerialLink();
    CSerialLink(const CSerialLink&) = delete;
    CSerialLink& operator=(const CSerialLink&) = delete;

    // 1 on success, 0 on failure. A negative port is refused without touching the stored one.
    int Open(int port, int baud);
    // Opens a device path, or a port name ("COMn", "USB") looked up again at every open.
    int OpenDevice(const std::string& device, int baud);
    // Runs the link over a port the caller made (an in-memory line in fuzzers and tests).
    // Without the reader thread only the calls read the line, each while it waits for its
    // reply: a scripted line under a manual clock then sees every read, in order, on the
    // caller's thread.
    int OpenPort(std::unique_ptr<ISerialPort> port, bool readerThread = true);
    // Stops the reader thread (it finishes its current read, at most kByteWaitMs), waits for
    // the calls holding the link to notice (a send, or a read as short), and closes the port.
    // Harmless when closed.
    void Close();
    // Closes and opens again at a new speed on the stored port or device.
    int Reopen(int baud);
    bool IsOpen() const { return m_port != nullptr; }
    // The port's device went away; Reopen() opens the same port or device path again.
    bool DeviceGone() const;
    // Why the last Open/OpenDevice/Reopen failed, in the system's own code (errno; on Windows
    // GetLastError()); 0 after one that succeeded.
    int OpenError() const { return m_openError; }

    // Everything that arrives until the line is quiet for waitMs or max bytes came; for
    // callers that drive the port without the reader thread.
    size_t ReadChunk(uint8_t* buffer, size_t maxLength, int waitMs);

    // A call holds the link from before it sends until its wait ends: the reader thread
    // starts no read meanwhile, and Close() waits for the hold to end instead of pulling the
    // port from under it. False when the link is closed or closing. Holds nest.
    bool EnterCall();
    void LeaveCall();
    // A thread about to wait for a reply takes the reading over from the reader thread: a
    // reply handed from one thread to another costs a thread wake-up each round trip, which
    // on an unpaced line is more than all the rest of the PC's work. A call's hold that also
    // waits for a read the reader thread has begun (it ends when the line has something, or
    // after kChunkWaitMs); until ReleaseReading() only this thread reads the line, through
    // ReadSome(). False when the link is closed or closing.
    bool AcquireReading();
    void ReleaseReading() { LeaveCall(); }
    // Reads what the line has, waiting up to waitMs for it (kByteWaitMs inside a frame), and
    // hands over every message completed. False when the link is closing.
    bool ReadSome(int waitMs);

    // Scope of a call's hold (EnterCall), or with reading, of AcquireReading.
    class Hold {
      public:
        Hold(CSerialLink& link, bool reading)
            : m_link(link), m_held(reading ? link.AcquireReading() : link.EnterCall()) {}
        ~Hold() {
            if (m_held) m_link.LeaveCall();
        }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
        bool Held() const { return m_held; }

      private:
        CSerialLink& m_link;
        const bool m_held;
    };

    // The outgoing message: the engine writes header and data here and sets the length.
    uint8_t* OutgoingMessage() { return m_outgoing; }
    void SetOutgoingLength(size_t length) { m_outgoingLength = length; }
    // Frames the outgoing message (compressed when the switch is on) and writes it whole
    // before returning, so the next request can never overwrite a frame still being sent.
    // 0 when nothing was written.
    int SendPayload();
    // Frames message now, while the line is busy with the current exchange, for a later
    // SendPayload() whose outgoing message turns out to be exactly this one (same bytes, same
    // compression switch); any other message is framed as usual. Compressing a full request
    // takes longer than the rest of the PC's share of a round trip.
    void PrepareAhead(const uint8_t* message, size_t length);

    void SetCompression(bool on) { m_compress = on; }
    bool Compression() const { return m_compress; }
    int PortNumber() const { return m_portNumber; }
    int BaudRate() const { return m_baud; }

  private:
    int OpenResolved(const std::string& device, int baud);
    int StartReader(bool readerThread = true);
    void ReaderLoop();
    void HandleFrame();

    IMessageSink* m_owner;
    std::unique_ptr<ISerialPort> m_port;
    int m_portNumber = 0;
    std::string m_device;  // set when opened by name
    bool m_callerPort = false;
    int m_openError = 0;
    int m_baud = kDefaultBaud;
    bool m_compress = true;

    // Sending side (caller's thread).
    size_t m_outgoingLength = 0;
    uint8_t m_outgoing[kMaxPayload] = {};
    uint8_t m_frame[kMaxFrame] = {};
    CMessageCodec m_txCodec;
    size_t m_aheadLength = 0;  // 0: nothing prepared
    size_t m_aheadFrameLength = 0;
    bool m_aheadCompress = false;
    uint8_t m_aheadMessage[kMaxPayload] = {};
    uint8_t m_aheadFrame[kMaxFrame] = {};

    // Receiving side: the reader thread, or a caller between AcquireReading and
    // ReleaseReading; the mutex hands the parser and the port's reading between them, and
    // counts the calls holding the link.
    std::thread m_reader;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_readingMutex;
    std::condition_variable m_readerWake;    // the parked reader thread: only Close() wakes it
    std::condition_variable m_readingEnded;  // a read or a caller's reading ended
    bool m_readerReading = false;
    int m_calls = 0;
    std::chrono::steady_clock::time_point m_callerLeft;
    uint8_t m_raw[kReadBufferSize] = {};
    FrameParser m_parser;
    CMessageCodec m_rxCodec;
};

}  // namespace zot
