#pragma once
// Runs one copy or delete job on a worker thread, apart from any window. It keeps the status,
// cancel and stop words and hands names, questions and view changes to the user-interface
// thread through its token. The worker holds the host, so whoever shows the job may go away
// at any time: Detach tells the job to stop and drops whatever it still sends or posts, and
// nothing waits for the worker.
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

#include "CJobProgress.h"
#include "CJobToken.h"
#include "IJobHost.h"

class CJobHost : public IJobHost, public std::enable_shared_from_this<CJobHost> {
  public:
    using Job = std::function<void(IJobHost& host)>;
    // What the one who shows the job hears, on the user-interface thread, until Detach.
    struct Listener {
        std::function<void(const QString& name)> current;
        std::function<int(const CJobQuestion& question)> ask;
        std::function<void()> finished;
        // Every value the job sets itself; null when nobody listens.
        std::function<void(int32_t status)> status;
        // The figures of the progress line, as the job reports them.
        std::function<void(const CJobProgress& progress)> progress;
    };

    static std::shared_ptr<CJobHost> Create(Listener listener);

    // Starts job on a worker thread of its own; once only.
    void Start(Job job);
    bool Started() const { return m_started; }
    bool Finished() const { return m_finished.load(std::memory_order_acquire); }
    // The user's Cancel: the job ends at its next test, a copy after its current block.
    void Cancel();
    // The listener goes away: Cancel, and nothing more reaches it.
    void Detach();

    // Worker side.
    int32_t* StatusWord() override { return &m_status; }
    int32_t* CancelWord() override { return &m_cancel; }
    int32_t Status() const override;
    void SetStatus(int32_t value) override;
    bool CancelRequested() const override;
    bool StopRequested() const override { return m_stop.load(std::memory_order_acquire); }
    void SetCurrent(const QString& name) override;
    // The figures so far for the progress line; posted, the worker goes on at once.
    void ShowProgress(const CJobProgress& progress) override;
    void CallUi(std::function<void()> fn) override;
    int Ask(const CJobQuestion& question) override;

  private:
    explicit CJobHost(Listener listener);

    alignas(4) int32_t m_status = 0;  // written by the job and the copy engine's thread
    alignas(4) int32_t m_cancel = 0;  // written by the user-interface thread
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_finished{false};
    bool m_started = false;
    const bool m_reportStatus;
    std::shared_ptr<CJobToken> m_token;
    Listener m_listener;  // used on the user-interface thread only
};
