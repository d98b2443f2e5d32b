#include "CJobToken.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

std::shared_ptr<CJobToken> CJobToken::Create() {
    return std::shared_ptr<CJobToken>(new CJobToken());
}

void CJobToken::Send(std::function<void()> fn) {
    if (Cancelled()) return;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) return;
    // The application object lives for the whole run, so it is a safe context for the call;
    // the callee checks the token again on the user-interface thread, where Cancel happens.
    auto self = shared_from_this();
    QMetaObject::invokeMethod(
        app,
        [self, f = std::move(fn)]() {
            if (!self->Cancelled()) f();
        },
        Qt::BlockingQueuedConnection);
}

void CJobToken::Post(std::function<void()> fn) {
    if (Cancelled()) return;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return;
    auto self = shared_from_this();
    QMetaObject::invokeMethod(
        app,
        [self, f = std::move(fn)]() {
            if (!self->Cancelled()) f();
        },
        Qt::QueuedConnection);
}
