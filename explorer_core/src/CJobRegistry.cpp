#include "CJobRegistry.h"

#include <QCoreApplication>
#include <QThread>
#include <atomic>
#include <thread>

namespace {
std::atomic<int> g_running{0};
}

void CJobRegistry::Start(std::function<void()> work) {
    g_running.fetch_add(1, std::memory_order_acq_rel);
    std::thread([w = std::move(work)]() mutable {
        {
            // Whatever the job captured goes before it counts as finished.
            auto job = std::move(w);
            job();
        }
        g_running.fetch_sub(1, std::memory_order_acq_rel);
    }).detach();
}

int CJobRegistry::Running() {
    return g_running.load(std::memory_order_acquire);
}

void CJobRegistry::WaitAll() {
    while (Running() > 0) {
        if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
}
