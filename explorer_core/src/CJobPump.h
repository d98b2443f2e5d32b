#pragma once
// Carries calls from worker threads to the user-interface thread, in the order they were made.
//
// The calls wait in a queue behind a standard mutex and a bare event wakes the user-interface
// thread to run them. Qt's own queued functor calls would do the same, but their hand-over
// runs on Qt's futex code that thread checkers cannot see, so every one would be reported as
// a race; through this queue the ordering is visible and the checkers stay useful.
#include <QObject>
#include <deque>
#include <functional>
#include <mutex>

class CJobPump : public QObject {
    Q_OBJECT
  public:
    // The one pump, living on the application's thread. First call on that thread.
    static CJobPump* Instance();
    // Queues fn to run on the user-interface thread. Any thread.
    void Queue(std::function<void()> fn);

  protected:
    bool event(QEvent* event) override;

  private:
    CJobPump() = default;
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_calls;
};
