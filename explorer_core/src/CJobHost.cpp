#include "CJobHost.h"

#include "CJobRegistry.h"

std::shared_ptr<CJobHost> CJobHost::Create(Listener listener) {
    return std::shared_ptr<CJobHost>(new CJobHost(std::move(listener)));
}

CJobHost::CJobHost(Listener listener)
    : m_reportStatus(static_cast<bool>(listener.status)),
      m_token(CJobToken::Create()),
      m_listener(std::move(listener)) {}

void CJobHost::Start(Job job) {
    if (m_started) return;
    m_started = true;
    // The worker's own reference keeps the words alive after whoever showed the job is gone.
    CJobRegistry::Start([self = shared_from_this(), job = std::move(job)] {
        job(*self);
        self->m_finished.store(true, std::memory_order_release);
        self->m_token->Post([host = self.get()] {
            if (host->m_listener.finished) host->m_listener.finished();
        });
    });
}

void CJobHost::Cancel() {
    std::atomic_ref<int32_t>(m_cancel).store(1, std::memory_order_release);
    m_stop.store(true, std::memory_order_release);
}

void CJobHost::Detach() {
    Cancel();
    m_token->Cancel();
}

int32_t CJobHost::Status() const {
    return std::atomic_ref<int32_t>(const_cast<int32_t&>(m_status)).load(std::memory_order_acquire);
}

void CJobHost::SetStatus(int32_t value) {
    std::atomic_ref<int32_t>(m_status).store(value, std::memory_order_release);
    if (!m_reportStatus) return;
    m_token->Post([this, value] { m_listener.status(value); });
}

bool CJobHost::CancelRequested() const {
    return std::atomic_ref<int32_t>(const_cast<int32_t&>(m_cancel))
               .load(std::memory_order_acquire) != 0;
}

void CJobHost::SetCurrent(const QString& name) {
    m_token->Post([this, name] {
        if (m_listener.current) m_listener.current(name);
    });
}

void CJobHost::ShowProgress(const CJobProgress& progress) {
    m_token->Post([this, progress] {
        if (m_listener.progress) m_listener.progress(progress);
    });
}

void CJobHost::CallUi(std::function<void()> fn) {
    m_token->Send(std::move(fn));
}

int CJobHost::Ask(const CJobQuestion& question) {
    // Unanswered (the listener is gone) means stop.
    int answer = question.kind == CJobQuestion::Kind::Overwrite ? int(CJobQuestion::kCancel)
                                                                : CJobQuestion::kCancelButton;
    m_token->Send([&] {
        if (m_listener.ask) answer = m_listener.ask(question);
    });
    return answer;
}
