#include "CFileJobDialog.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include "CJobRegistry.h"

namespace {
CFileJobDialog::Asker& AskerSeam() {
    static CFileJobDialog::Asker asker;
    return asker;
}
std::function<void(int)>& ProgressSeam() {
    static std::function<void(int)> observer;
    return observer;
}
}  // namespace

void CFileJobDialog::SetAsker(Asker asker) {
    AskerSeam() = std::move(asker);
}

void CFileJobDialog::SetProgressObserver(std::function<void(int)> observer) {
    ProgressSeam() = std::move(observer);
}

// A sheet of paper going from one folder to the other (copy) or into the bin (delete), one
// step per timer tick; drawn, so that it needs no clip among the resources.
class CFileJobDialog::CAnimation : public QWidget {
  public:
    explicit CAnimation(QWidget* parent) : QWidget(parent) { setFixedSize(272, 50); }
    void SetKind(Animation kind) { m_kind = kind; }
    void Step() {
        if (!m_running) return;
        m_frame = (m_frame + 1) % 16;
        update();
    }
    void Stop() {
        m_running = false;
        update();
    }
    bool Running() const { return m_running; }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor folder(230, 190, 80);
        p.setBrush(folder);
        p.setPen(folder.darker(150));
        p.drawRect(8, 14, 40, 28);
        if (m_kind == Animation::Copy) {
            p.drawRect(width() - 48, 14, 40, 28);
        } else {
            p.setBrush(QColor(170, 170, 170));
            p.drawRect(width() - 44, 12, 32, 32);
        }
        if (!m_running) return;
        const int travel = width() - 96;
        const int x = 48 + travel * m_frame / 15;
        const int y = 8 + (m_kind == Animation::Copy ? 0 : m_frame);
        p.setBrush(Qt::white);
        p.setPen(Qt::darkGray);
        p.drawRect(x, y, 16, 20);
    }

  private:
    Animation m_kind = Animation::Copy;
    int m_frame = 0;
    bool m_running = true;
};

CFileJobDialog::CFileJobDialog(QWidget* parent)
    : QDialog(parent),
      m_state(std::make_shared<State>()),
      m_token(CJobToken::Create()),
      m_animation(new CAnimation(this)),
      m_progress(new QProgressBar(this)),
      m_current(new QLabel(this)),
      m_cancelButton(new QPushButton(this)),
      m_timer(new QTimer(this)) {
    setModal(true);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_current->setMinimumWidth(272);
    connect(m_cancelButton, &QPushButton::clicked, this, &CFileJobDialog::reject);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_current, 1);
    bottom->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_animation);
    layout->addWidget(m_progress);
    layout->addLayout(bottom);
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, &CFileJobDialog::Tick);
}

CFileJobDialog::~CFileJobDialog() {
    // Only reached early when the owner tears the dialog down (the program ends): the job is
    // told to stop and nothing it sends afterwards runs. The worker keeps the words alive.
    std::atomic_ref<int32_t>(m_state->cancel).store(1, std::memory_order_release);
    m_state->stop.store(true, std::memory_order_release);
    m_token->Cancel();
    // The worker still runs code of this object; let it end, serving its dropped calls.
    while (m_started && !m_state->workerDone.load(std::memory_order_acquire)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

void CFileJobDialog::SetTexts(const Texts& texts) {
    m_texts = texts;
    setWindowTitle(texts.caption);
    m_cancelButton->setText(texts.cancel);
}

void CFileJobDialog::SetAnimation(Animation animation) {
    m_animation->SetKind(animation);
}

QString CFileJobDialog::CurrentText() const {
    return m_current->text();
}

bool CFileJobDialog::AnimationRunning() const {
    return m_animation->Running();
}

int32_t CFileJobDialog::Status() const {
    return std::atomic_ref<int32_t>(m_state->status).load(std::memory_order_acquire);
}

void CFileJobDialog::SetStatus(int32_t value) {
    std::atomic_ref<int32_t>(m_state->status).store(value, std::memory_order_release);
    if (ProgressSeam()) {
        m_token->Post([value] {
            if (ProgressSeam()) ProgressSeam()(value);
        });
    }
}

bool CFileJobDialog::CancelRequested() const {
    return std::atomic_ref<int32_t>(m_state->cancel).load(std::memory_order_acquire) != 0;
}

void CFileJobDialog::SetCurrent(const QString& name) {
    m_token->Post([this, name] { m_current->setText(name); });
}

void CFileJobDialog::ShowProgress(const CJobProgress& progress) {
    m_token->Post([this, progress] { m_figures = progress; });
}

void CFileJobDialog::CallUi(std::function<void()> fn) {
    m_token->Send(std::move(fn));
}

int CFileJobDialog::Ask(const CJobQuestion& question) {
    int answer = question.kind == CJobQuestion::Kind::Overwrite ? int(CJobQuestion::kCancel)
                                                                : int(QMessageBox::Cancel);
    m_token->Send([&] { answer = AnswerOnUi(question); });
    return answer;
}

int CFileJobDialog::AnswerOnUi(const CJobQuestion& question) {
    if (AskerSeam()) return AskerSeam()(this, question);
    if (question.kind == CJobQuestion::Kind::Overwrite) {
        COverwriteDlg dlg(m_texts.overwrite, question.text, this);
        return dlg.exec();
    }
    QWidget* owner =
        question.owner == CJobQuestion::Owner::Application && m_appOwner ? m_appOwner : this;
    QMessageBox box(static_cast<QMessageBox::Icon>(question.icon), question.caption, question.text,
                    static_cast<QMessageBox::StandardButtons>(question.buttons), owner);
    const std::pair<QMessageBox::StandardButton, QString> texts[] = {
        {QMessageBox::Ok, m_texts.ok},
        {QMessageBox::Yes, m_texts.yes},
        {QMessageBox::No, m_texts.no}};
    for (const auto& [button, text] : texts)
        if (QAbstractButton* b = box.button(button); b && !text.isEmpty()) b->setText(text);
    return box.exec();
}

void CFileJobDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_started) {
        m_started = true;
        Start();
    }
}

void CFileJobDialog::Start() {
    m_timer->start();
    std::shared_ptr<State> state = m_state;
    std::shared_ptr<CJobToken> token = m_token;
    CJobRegistry::Start([this, state, token] {
        RunJob();
        state->workerDone.store(true, std::memory_order_release);
        // Closes at once rather than on the next tick; dropped if the dialog is gone.
        token->Post([this] { Tick(); });
    });
}

void CFileJobDialog::Tick() {
    const int32_t status = Status();
    if (status != m_progress->value() && status <= 100) m_progress->setValue(status);
    m_animation->Step();
    // Every way out of a job ends the worker, so its end alone closes the dialog.
    if (!m_state->workerDone.load(std::memory_order_acquire)) return;
    if (!m_timer->isActive()) return;  // already closing
    m_timer->stop();
    m_animation->Stop();
    accept();
}

void CFileJobDialog::reject() {
    m_animation->Stop();
    std::atomic_ref<int32_t>(m_state->cancel).store(1, std::memory_order_release);
    m_state->stop.store(true, std::memory_order_release);
    m_current->setText(m_texts.cancelling);
}
