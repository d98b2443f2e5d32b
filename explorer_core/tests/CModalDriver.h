#pragma once
// Answers modal dialogs from the test: every time a new modal widget becomes active, the next
// handler runs on it. Polls on a short timer, so the code under test runs its real exec().
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>

class CModalDriver : public QObject {
    Q_OBJECT
  public:
    using Handler = std::function<void(QWidget*)>;
    CModalDriver();
    // Handles the next modal widget that is not the one handled before.
    void Then(Handler handler) { m_handlers.push_back(std::move(handler)); }
    // Runs handler on every modal widget that becomes active, instead of the queue.
    void OnEvery(Handler handler) { m_every = std::move(handler); }
    int Pending() const { return static_cast<int>(m_handlers.size()); }

  private:
    void Poll();
    QTimer m_timer;
    std::deque<Handler> m_handlers;
    Handler m_every;
    QPointer<QWidget> m_last;
};
