#include "link_worker.h"

#include <cerrno>

#include "line_connect.h"

namespace zotfs {

CLinkWorker::CLinkWorker(const LinkParameters& link, std::function<void()> onReconnect)
    : m_link(link), m_onReconnect(std::move(onReconnect)) {}

CLinkWorker::~CLinkWorker() {
    Stop();
}

zot::Status CLinkWorker::Open() {
    const zot::Status answered =
        zottools::Connect(m_session, m_link.port, m_link.device, m_link.baud, m_link.compress);
    std::lock_guard lock(m_mutex);
    m_down = !answered;
    m_announced = Generation();
    return answered;
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
    return m_down && (m_reconnecting || now < m_retryAt);
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

void CLinkWorker::GoDown(const zot::Status& status) {
    m_down = true;
    // A terminal that fell silent costs the whole reply budget each time it is asked, so it
    // is left alone for a moment; a missing device fails at once and is looked for again
    // straight away.
    const bool silent = status.silence == zot::Silence::kLineFailed;
    m_retryAt = Clock::now() + (silent ? kReconnectPause : Clock::duration::zero());
}

void CLinkWorker::Report(const zot::Status& status) {
    if (status.outcome != zot::Outcome::kNoAnswer) return;
    std::lock_guard lock(m_mutex);
    GoDown(status);
}

void CLinkWorker::Loop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
        if (m_queue.empty()) break;  // stopping, and nothing left to run
        Job* job = m_queue.front();
        m_queue.pop_front();
        if (job->needsLine && m_down && !Refuses(Clock::now())) {
            m_reconnecting = true;
            lock.unlock();
            const zot::Status connected = zottools::Connect(m_session, m_link.port, m_link.device,
                                                            m_link.baud, m_link.compress);
            lock.lock();
            m_reconnecting = false;
            if (connected) {
                m_down = false;
                ++m_recoveries;
            } else {
                GoDown(connected);
            }
        }
        if (job->needsLine && m_down) {
            job->result = -EIO;
        } else {
            lock.unlock();
            // What the mount remembers of the terminal may be out of date once the line has
            // been away, however briefly.
            if (Generation() != m_announced) {
                m_announced = Generation();
                if (m_onReconnect) m_onReconnect();
            }
            const int result = (*job->task)();
            lock.lock();
            job->result = result;
        }
        job->done = true;
        m_done.notify_all();
    }
    lock.unlock();
    m_session.Close();
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
