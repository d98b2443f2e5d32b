#include "CFileJobDialog.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

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

CFileJobDialog::CFileJobDialog(const Texts& texts, Animation animation, QWidget* parent)
    : QDialog(parent),
      m_texts(texts),
      m_animation(new CAnimation(this)),
      m_progress(new QProgressBar(this)),
      m_progressLine(new QLabel(this)),
      m_current(new QLabel(this)),
      m_cancelButton(new QPushButton(texts.cancel, this)),
      m_timer(new QTimer(this)) {
    setModal(true);
    setWindowTitle(animation == Animation::Copy ? texts.copying : texts.deleting);
    m_animation->SetKind(animation);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progressLine->setObjectName(QStringLiteral("progressLine"));
    m_progressLine->setVisible(false);
    m_current->setMinimumWidth(272);
    connect(m_cancelButton, &QPushButton::clicked, this, &CFileJobDialog::reject);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_current, 1);
    bottom->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_animation);
    layout->addWidget(m_progress);
    layout->addWidget(m_progressLine);
    layout->addLayout(bottom);
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, &CFileJobDialog::Tick);
}

CFileJobDialog::~CFileJobDialog() {
    // Only reached early when the owner tears the dialog down (the program ends).
    if (m_host) m_host->Detach();
}

void CFileJobDialog::SetCancellable(bool cancellable) {
    m_cancellable = cancellable;
    m_cancelButton->setVisible(cancellable);
}

int CFileJobDialog::Run(CJobHost::Job job) {
    CJobHost::Listener listener;
    listener.current = [this](const QString& name) { m_current->setText(name); };
    listener.ask = [this](const CJobQuestion& question) { return AnswerOnUi(question); };
    listener.finished = [this] { Tick(); };
    listener.progress = [this](const CJobProgress& progress) { SetProgress(progress); };
    if (ProgressSeam())
        listener.status = [](int32_t value) {
            if (ProgressSeam()) ProgressSeam()(value);
        };
    m_host = CJobHost::Create(std::move(listener));
    m_job = std::move(job);
    return exec();
}

QString CFileJobDialog::CurrentText() const {
    return m_current->text();
}

QString CFileJobDialog::ProgressText() const {
    return m_progressLine->text();
}

bool CFileJobDialog::AnimationRunning() const {
    return m_animation->Running();
}

void CFileJobDialog::SetProgress(const CJobProgress& progress) {
    m_figures = progress;
    if (!m_texts.progressLine) return;
    m_progressLine->setText(m_texts.progressLine(progress));
    m_progressLine->setVisible(true);
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
    if (m_host && !m_host->Started()) {
        m_timer->start();
        m_host->Start(std::move(m_job));
    }
}

void CFileJobDialog::Tick() {
    if (!m_host) return;
    const int32_t status = m_host->Status();
    if (status != m_progress->value() && status <= 100) m_progress->setValue(status);
    m_animation->Step();
    // Every way out of a job ends the worker, so its end alone closes the dialog.
    if (!m_host->Finished()) return;
    if (!m_timer->isActive()) return;  // already closing
    m_timer->stop();
    m_animation->Stop();
    accept();
}

void CFileJobDialog::reject() {
    if (!m_cancellable) return;
    m_animation->Stop();
    if (m_host) m_host->Cancel();
    m_current->setText(m_texts.cancelling);
}
