#include "CJobPump.h"

#include <QCoreApplication>
#include <QEvent>

namespace {
const QEvent::Type kDrain = static_cast<QEvent::Type>(QEvent::User + 101);
}

CJobPump* CJobPump::Instance() {
    static CJobPump* pump = [] {
        auto* p = new CJobPump();
        if (QCoreApplication* app = QCoreApplication::instance()) p->moveToThread(app->thread());
        return p;
    }();
    return pump;
}

void CJobPump::Queue(std::function<void()> fn) {
    // Allocated before the lock is released, so that its hand-over to the thread that frees it
    // is ordered by the same mutex.
    auto* wake = new QEvent(kDrain);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_calls.push_back(std::move(fn));
    }
    QCoreApplication::postEvent(this, wake);
}

bool CJobPump::event(QEvent* event) {
    {
        // A wake event is built on a worker before it releases the mutex and reaches us through
        // Qt's queue, which thread checkers cannot see; taking the mutex before reading it
        // orders the two for them.
        std::lock_guard<std::mutex> lock(m_mutex);
    }
    if (event->type() != kDrain) return QObject::event(event);
    for (;;) {
        std::function<void()> call;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_calls.empty()) break;
            call = std::move(m_calls.front());
            m_calls.pop_front();
        }
        // A call may run a nested event loop (a message box); later calls wait for it, which
        // keeps one worker's calls in order.
        call();
    }
    return true;
}
