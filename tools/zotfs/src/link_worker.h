#pragma once
// The one thread through which the mount talks to the terminal. The library keeps a single
// request state for the whole process, but FUSE calls from several threads: every operation
// is handed to this worker and its caller waits for the result.
//
// A line that stops answering must not hang the desktop. Once an operation finds it dead
// (LineFailed), the operations after it fail with EIO at once; the next one after a short
// pause reconnects first, and while that reconnection waits on the line every other
// operation fails at once instead of queueing behind it.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace zotfs {

struct LinkParameters {
    int port = 1;
    int baud = 115200;
    bool compress = true;
};

class CLinkWorker {
  public:
    // Least time between two attempts to reconnect; operations in between fail at once.
    static constexpr std::chrono::milliseconds kReconnectPause{1000};

    CLinkWorker(const LinkParameters& link, std::function<void()> onReconnect);
    ~CLinkWorker();
    CLinkWorker(const CLinkWorker&) = delete;
    CLinkWorker& operator=(const CLinkWorker&) = delete;

    // Opens the port and asks the terminal for its version.
    static bool Connect(const LinkParameters& link);

    bool Start();
    // Runs task on the worker thread and returns its result (0 or more, or -errno); -EIO
    // without running it while the line is known to be down, unless the task needs no line
    // (it then asks Down() before it uses it).
    int Run(const std::function<int()>& task, bool needsLine = true);
    bool Down() const;
    // For tasks: the line did not answer. Later operations reconnect before they run.
    void LineFailed();
    // Counts successful connections; a terminal handle is valid only in the generation that
    // opened it (a terminal that restarted may hand the same number to another file).
    uint32_t Generation() const { return m_generation.load(); }
    // Runs the queued operations, closes the link and ends the thread.
    void Stop();

  private:
    struct Job {
        const std::function<int()>* task = nullptr;
        bool needsLine = true;
        int result = 0;
        bool done = false;
    };
    using Clock = std::chrono::steady_clock;

    void Loop();
    bool Refuses(Clock::time_point now) const;

    const LinkParameters m_link;
    const std::function<void()> m_onReconnect;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;  // a job queued, or stop
    std::condition_variable m_done;  // some job finished
    std::deque<Job*> m_queue;
    bool m_stop = false;
    bool m_running = false;
    // Down until the first connection is made on the worker thread.
    bool m_down = true;
    bool m_reconnecting = false;
    Clock::time_point m_lastAttempt{};
    std::atomic<uint32_t> m_generation{0};
    std::thread m_thread;
};

}  // namespace zotfs
