#include "link_worker.h"

#include <cerrno>

#include "zotlink.h"

namespace zotfs {

CLinkWorker::CLinkWorker(const LinkParameters& link, std::function<void()> onReconnect)
    : m_link(link), m_onReconnect(std::move(onReconnect)) {}

CLinkWorker::~CLinkWorker() {
    Stop();
}

bool CLinkWorker::Connect(const LinkParameters& link) {
    ZOT_VERSION_INFO version{};
    return ZOT_LumoInit(link.port, link.baud, link.compress ? 1 : 0) && ZOT_GetVersion(&version);
}

bool CLinkWorker::Start() {
    std::lock_guard lock(m_mutex);
    try {
        m_thread = std::thread(&CLinkWorker::Loop, this);
    } catch (...) {
        return false;
    }
    m_running = true;
    return true;
}

bool CLinkWorker::Refuses(Clock::time_point now) const {
    return m_down && (m_reconnecting || now - m_lastAttempt < kReconnectPause);
}

int CLinkWorker::Run(const std::function<int()>& task, bool needsLine) {
    Job job;
    job.task = &task;
    job.needsLine = needsLine;
    std::unique_lock lock(m_mutex);
    if (m_stop || !m_running || (needsLine && Refuses(Clock::now()))) return -EIO;
    m_queue.push_back(&job);
    m_wake.notify_one();
    m_done.wait(lock, [&] { return job.done; });
    return job.result;
}

bool CLinkWorker::Down() const {
    std::lock_guard lock(m_mutex);
    return m_down;
}

void CLinkWorker::LineFailed() {
    std::lock_guard lock(m_mutex);
    m_down = true;
    m_lastAttempt = Clock::now();
}

void CLinkWorker::Loop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
        if (m_queue.empty()) break;  // stopping, and nothing left to run
        Job* job = m_queue.front();
        m_queue.pop_front();
        bool reconnected = false;
        if (job->needsLine && m_down && !Refuses(Clock::now())) {
            m_reconnecting = true;
            lock.unlock();
            const bool ok = Connect(m_link);
            lock.lock();
            m_reconnecting = false;
            m_lastAttempt = Clock::now();
            if (ok) {
                m_down = false;
                ++m_generation;
                reconnected = true;
            }
        }
        if (job->needsLine && m_down) {
            job->result = -EIO;
        } else {
            lock.unlock();
            if (reconnected && m_onReconnect) m_onReconnect();
            const int result = (*job->task)();
            lock.lock();
            job->result = result;
        }
        job->done = true;
        m_done.notify_all();
    }
    lock.unlock();
    ZOT_LumoUninit();
}

void CLinkWorker::Stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        m_wake.notify_all();
    }
    if (m_thread.joinable()) m_thread.join();
}

}  // namespace zotfs
