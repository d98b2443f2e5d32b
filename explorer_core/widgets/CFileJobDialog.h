#pragma once
// The modal dialog that runs one copy or delete job on a worker thread: an animation, a
// progress bar, the name of the item being handled and Cancel.
//
// The worker never touches a widget. It shows names with a posted call, reads and changes the
// views and asks its questions with blocking calls that run on the user-interface thread
// (answered through an injectable asker in tests). Progress is the job's status word, which a
// 100 ms timer shows; Cancel sets the cancel word (which a copy engine may watch) and the stop
// flag the folder walks poll. The dialog closes itself on the first tick after the worker has
// ended; it never blocks the user-interface thread while waiting, so the worker's calls into
// the views always get through.
#include <QDialog>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "CJobToken.h"
#include "COverwriteDlg.h"
#include "IJobHost.h"

class IJobViews;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

class CFileJobDialog : public QDialog, public IJobHost {
    Q_OBJECT
  public:
    enum class Animation { Copy, Delete };
    struct Texts {
        QString caption;     // "Status", until the job's title replaces it
        QString cancel;      // the button
        QString cancelling;  // "Cancel..."
        COverwriteDlg::Texts overwrite;
        // The message boxes' button texts; empty ones keep Qt's.
        QString ok, yes, no;
    };
    // Answers a question on the user-interface thread; returns the button's id.
    using Asker = std::function<int(CFileJobDialog* dialog, const CJobQuestion& question)>;
    // Test seams, set on the user-interface thread: who answers the questions (null: the real
    // boxes) and who hears every progress value the job sets itself.
    static void SetAsker(Asker asker);
    static void SetProgressObserver(std::function<void(int)> observer);

    // What the frame orders: a paste of sources, or a delete of count items (the tree's folder
    // when treeFolder), changing views.
    struct Order {
        enum class Kind { Paste, Delete };
        Kind kind = Kind::Paste;
        QStringList sources;
        int count = 0;
        bool treeFolder = false;
        IJobViews* views = nullptr;
    };

    explicit CFileJobDialog(QWidget* parent = nullptr);
    ~CFileJobDialog() override;

    // Each program's dialog takes the order into its own members before it runs; the order
    // outlives the run.
    virtual void SetOrder(const Order& order) = 0;

    void SetTexts(const Texts& texts);
    void SetAnimation(Animation animation);
    // The window that owns the application's message boxes.
    void SetApplicationOwner(QWidget* owner) { m_appOwner = owner; }
    QWidget* ApplicationOwner() const { return m_appOwner ? m_appOwner : nullptr; }

    QProgressBar* ProgressBar() const { return m_progress; }
    QString CurrentText() const;
    QPushButton* CancelButton() const { return m_cancelButton; }
    bool AnimationRunning() const;

    // Cancel, Escape and the close box: the job is told, the dialog stays until it has ended.
    void reject() override;

    // Worker side (IJobHost).
    int32_t* StatusWord() override { return &m_state->status; }
    int32_t* CancelWord() override { return &m_state->cancel; }
    int32_t Status() const override;
    void SetStatus(int32_t value) override;
    bool CancelRequested() const override;
    bool StopRequested() const override { return m_state->stop.load(std::memory_order_acquire); }
    void SetCurrent(const QString& name) override;
    void CallUi(std::function<void()> fn) override;
    int Ask(const CJobQuestion& question) override;
    void ShowProgress(const CJobProgress& progress) override;
    // The job's last figures to have arrived (user-interface thread).
    const CJobProgress& Progress() const { return m_figures; }

  protected:
    // The job; runs on the worker thread. Its end closes the dialog.
    virtual void RunJob() = 0;

    void showEvent(QShowEvent* event) override;

  private:
    struct State {
        alignas(4) int32_t status = 0;  // written by the job and the copy engine's thread
        alignas(4) int32_t cancel = 0;  // written by the user-interface thread
        std::atomic<bool> stop{false};
        std::atomic<bool> workerDone{false};
    };
    void Start();
    void Tick();
    int AnswerOnUi(const CJobQuestion& question);

    std::shared_ptr<State> m_state;
    std::shared_ptr<CJobToken> m_token;
    Texts m_texts;
    class CAnimation;
    CAnimation* m_animation;
    QProgressBar* m_progress;
    QLabel* m_current;
    QPushButton* m_cancelButton;
    QTimer* m_timer;
    QWidget* m_appOwner = nullptr;
    bool m_started = false;
    CJobProgress m_figures;
};
