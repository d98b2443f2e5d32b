#include "CJobToken.h"

#include <QCoreApplication>
#include <QThread>
#include <condition_variable>
#include <mutex>

#include "CJobPump.h"

std::shared_ptr<CJobToken> CJobToken::Create() {
    CJobPump::Instance();  // made on the user-interface thread, where tokens are made
    return std::shared_ptr<CJobToken>(new CJobToken());
}

namespace {
struct SendWaiter {
    std::mutex mutex;
    std::condition_variable cv;
    bool done = false;
};
// Wakes the waiting worker when the queued call is destroyed, after it ran or unrun.
struct SendGuard {
    explicit SendGuard(std::shared_ptr<SendWaiter> w) : waiter(std::move(w)) {}
    SendGuard(const SendGuard&) = delete;
    SendGuard& operator=(const SendGuard&) = delete;
    ~SendGuard() {
        {
            std::lock_guard<std::mutex> lock(waiter->mutex);
            waiter->done = true;
        }
        waiter->cv.notify_all();
    }
    std::shared_ptr<SendWaiter> waiter;
};
}  // namespace

void CJobToken::Send(std::function<void()> fn) {
    if (Cancelled()) return;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) return;
    auto waiter = std::make_shared<SendWaiter>();
    auto guard = std::make_shared<SendGuard>(waiter);
    // The callee checks the token again on the user-interface thread, where Cancel happens.
    auto self = shared_from_this();
    CJobPump::Instance()->Queue([self, f = std::move(fn), guard]() {
        if (!self->Cancelled()) f();
    });
    guard.reset();
    std::unique_lock<std::mutex> lock(waiter->mutex);
    waiter->cv.wait(lock, [&] { return waiter->done; });
}

void CJobToken::Post(std::function<void()> fn) {
    if (Cancelled()) return;
    auto self = shared_from_this();
    CJobPump::Instance()->Queue([self, f = std::move(fn)]() {
        if (!self->Cancelled()) f();
    });
}
