#pragma once
// The hand-over between one worker thread and the user-interface thread.
//
// A dialog that runs a worker may close before the worker ends (Cancel closes at once, and the
// libraries offer no call to interrupt a request). The worker therefore never holds a pointer
// it may use on its own: everything it wants done on the user-interface thread goes through
// Send or Post, and runs there only while the token is live, a state that only the
// user-interface thread changes. Late results of an abandoned worker are dropped.
#include <atomic>
#include <functional>
#include <memory>

class CJobToken : public std::enable_shared_from_this<CJobToken> {
  public:
    static std::shared_ptr<CJobToken> Create();

    // Worker side: true once the owner cancelled or went away.
    bool Cancelled() const { return m_cancelled.load(std::memory_order_acquire); }

    // Runs fn on the user-interface thread and waits for it (a sent message). Does nothing
    // once cancelled. Must not be called on the user-interface thread.
    void Send(std::function<void()> fn);
    // Queues fn for the user-interface thread (a posted message). Dropped if cancelled by the
    // time it would run. Posts and sends of one worker arrive in the order they were made.
    void Post(std::function<void()> fn);

    // Owner side (user-interface thread): stop delivering and tell the worker to stop.
    void Cancel() { m_cancelled.store(true, std::memory_order_release); }

  private:
    CJobToken() = default;
    std::atomic<bool> m_cancelled{false};
};
