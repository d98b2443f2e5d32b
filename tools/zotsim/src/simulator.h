#pragma once
// The terminal simulator: serves a folder as the terminal's file store over a serial line
// (a pseudo-terminal it creates, or an existing device), answering the terminal's side of the
// wire protocol. Used by the tests, the benchmarks and the demo.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zotsim {

// What to do to the reply of one request. Requests are numbered from 1 in the order they
// arrive (every well-formed request counts, whatever its command).
struct Fault {
    enum class Kind {
        kDrop,         // send no reply
        kDelay,        // send the reply after delayMs
        kStale,        // reply with the sequence number minus one
        kCorrupt,      // flip one bit of one payload byte of the reply frame (checksum kept)
        kWrongLength,  // reply data one byte longer than the command's layout
        kSilence,      // from this request on, answer nothing for delayMs, or (0) until
                       // ClearFaults()
    };
    Kind kind = Kind::kDrop;
    uint32_t request = 0;  // 1-based request ordinal it applies to; 0: every request of command
    int command = -1;      // with request 0: the command it applies to (-1 any)
    int delayMs = 0;
    int count = 1;  // how many matching requests it applies to (request == 0 only)
};

struct Options {
    std::string root;                   // folder served as "ZOT:\"
    int baud = 0;                       // line-rate pacing, 10 bit times a byte each way; 0 none
    int latencyMs = 0;                  // added before every reply
    std::string serverName = "ZotSim";  // in the system information record
    uint64_t storeSize = 64ull * 1024 * 1024;  // reported store size in bytes
    size_t nameLimit = 0;                      // longest accepted entry name in bytes; 0 no limit
    bool compressReplies = false;              // reply compressed even to plain requests
    double bitErrorRate = 0;                   // each bit crossing the line flips so often
    uint32_t seed = 1;                         // of the bit errors
    bool log = false;                          // one line per request on stderr
    // A USB serial adapter's latency timer in ms: each reply's last partial packet waits
    // this long before the client sees it; 0 no adapter.
    int latencyTimerMs = 0;
};

struct RequestRecord {
    uint16_t command;
    uint16_t sequence;
    uint16_t dataLength;
    bool compressed;
};

class CSimulator {
  public:
    explicit CSimulator(Options options);
    ~CSimulator();  // stops and closes

    // Creates a pseudo-terminal; returns false on failure. SlavePath() names the side a
    // client opens. When link is not empty a symlink of that name points at it.
    bool OpenPty(const std::string& link = {});
    // Serves an existing serial device instead.
    bool OpenDevice(const std::string& path, int baud);
    const std::string& SlavePath() const;

    // Serves on a thread of its own until Stop().
    bool Start();
    void Stop();
    // Serves on the calling thread until stop becomes true.
    void Serve(const std::atomic<bool>& stop);

    // Thread-safe while serving.
    void AddFault(const Fault& fault);
    void ClearFaults();
    std::vector<RequestRecord> Requests() const;
    uint32_t RequestCount() const;
    // Removes the pseudo-terminal as a pulled cable would: clients see their device fail.
    void Unplug();
    // Plugs a new pseudo-terminal in after Unplug(), under the same symlink if there was one.
    bool Replug();
    // Bytes that crossed the line each way, and bits the line flipped.
    uint64_t BytesReceived() const;
    uint64_t BytesSent() const;
    uint64_t BitsFlipped() const;

    CSimulator(const CSimulator&) = delete;
    CSimulator& operator=(const CSimulator&) = delete;

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace zotsim
