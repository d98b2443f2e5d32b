#pragma once
// The one thread through which the mount talks to the terminal. A session is used by one
// thread at a time, but FUSE calls from several threads: every operation is handed to this
// worker, which owns the session, and its caller waits for the result.
//
// A line that stops answering must not hang the desktop. Once a call finds no answer, the
// operations after it fail with EIO at once; the next one asks the terminal first (after a
// short pause when the terminal fell silent, at once when the device went away, as a missing
// device fails at once), and while that question waits on the line every other operation
// fails at once instead of queueing behind it.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "zot_session.h"

namespace zotfs {

struct LinkParameters {
    int port = 1;
    std::string device;  // a device path, used instead of the port when given
    int baud = 115200;
    bool compress = true;
};

class CLinkWorker {
  public:
    // Least time between a line that fell silent and the next question to the terminal;
    // operations in between fail at once.
    static constexpr std::chrono::milliseconds kReconnectPause{1000};

    CLinkWorker(const LinkParameters& link, std::function<void()> onReconnect);
    ~CLinkWorker();
    CLinkWorker(const CLinkWorker&) = delete;
    CLinkWorker& operator=(const CLinkWorker&) = delete;

    // Before Start, on the caller's thread: opens the line and asks the terminal, so the mount
    // holds the line from before it mounts until Stop. Session() says why it did not open.
    zot::Status Open();
    bool Start();
    // Runs task on the worker thread and returns its result (0 or more, or -errno); -EIO
    // without running it while the line is known to be down, unless the task needs no line
    // (it then asks Down() before it uses it).
    int Run(const std::function<int()>& task, bool needsLine = true);
    bool Down() const;

    // Tasks only: the session, and what each of its calls came to. A call that found no
    // answer puts the line down.
    zot::CSession& Session() { return m_session; }
    void Report(const zot::Status& status);
    // Tasks only. Changes whenever the terminal may have lost its open files: the session
    // opened its device again, or the line came back after it was down. A terminal handle is
    // valid only in the generation that opened it (a terminal that restarted may hand the
    // same number to another file).
    uint32_t Generation() const { return m_recoveries + m_session.Reopens(); }

    // Runs the queued operations, closes the line and ends the thread.
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
    void GoDown(const zot::Status& status);

    const LinkParameters m_link;
    const std::function<void()> m_onReconnect;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;  // a job queued, or stop
    std::condition_variable m_done;  // some job finished
    std::deque<Job*> m_queue;
    bool m_stop = false;
    bool m_running = false;
    // Down until Open, or the worker thread, connects.
    bool m_down = true;
    bool m_reconnecting = false;
    Clock::time_point m_retryAt{};
    // Worker thread only.
    zot::CSession m_session;
    uint32_t m_recoveries = 0;
    uint32_t m_announced = 0;  // the generation m_onReconnect last heard of
    std::thread m_thread;
};

}  // namespace zotfs
