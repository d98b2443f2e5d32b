#pragma once
// The modal dialog that shows one copy or delete job and asks its questions: an animation, the
// progress bar, a progress line, the name of the item in hand and Cancel. The job itself runs
// on a CJobHost; the dialog starts it when shown, reads its status word every 100 ms and closes
// on the first tick after it has ended. It never waits for the worker: destroyed early, it
// detaches from the host and whatever the job still sends is dropped.
#include <QDialog>
#include <functional>
#include <memory>

#include "CJobHost.h"
#include "CJobProgress.h"
#include "COverwriteDlg.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

class CFileJobDialog : public QDialog {
    Q_OBJECT
  public:
    enum class Animation { Copy, Delete };
    struct Texts {
        QString copying, deleting;  // the captions of a paste and of a delete
        QString cancel;             // the button
        QString cancelling;         // "Cancel..."
        COverwriteDlg::Texts overwrite;
        // The message boxes' button texts; empty ones keep Qt's.
        QString ok, yes, no;
        // The line under the bar; empty until the job reports figures.
        std::function<QString(const CJobProgress& progress)> progressLine;
    };
    // Answers a question on the user-interface thread; returns the button's id.
    using Asker = std::function<int(CFileJobDialog* dialog, const CJobQuestion& question)>;
    // Test seams, set on the user-interface thread: who answers the questions (null: the real
    // boxes) and who hears every progress value the job sets itself.
    static void SetAsker(Asker asker);
    static void SetProgressObserver(std::function<void(int)> observer);

    CFileJobDialog(const Texts& texts, Animation animation, QWidget* parent);
    ~CFileJobDialog() override;

    // While a job that cannot stop halfway runs, Cancel is hidden and Escape does nothing.
    void SetCancellable(bool cancellable);
    // The window that owns the application's message boxes.
    void SetApplicationOwner(QWidget* owner) { m_appOwner = owner; }
    // Shows the dialog modally and runs job while it is open; returns when the job has ended.
    int Run(CJobHost::Job job);

    QProgressBar* ProgressBar() const { return m_progress; }
    QString CurrentText() const;
    QString ProgressText() const;
    QPushButton* CancelButton() const { return m_cancelButton; }
    bool AnimationRunning() const;

    // Cancel, Escape and the close box: the job is told, the dialog stays until it has ended.
    void reject() override;

  public slots:
    // The figures of the job so far, for the progress line.
    void SetProgress(const CJobProgress& progress);

  public:
    // The last figures shown.
    const CJobProgress& Progress() const { return m_figures; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void Tick();
    int AnswerOnUi(const CJobQuestion& question);

    Texts m_texts;
    std::shared_ptr<CJobHost> m_host;
    CJobHost::Job m_job;
    class CAnimation;
    CAnimation* m_animation;
    QProgressBar* m_progress;
    QLabel* m_progressLine;
    CJobProgress m_figures;
    QLabel* m_current;
    QPushButton* m_cancelButton;
    QTimer* m_timer;
    QWidget* m_appOwner = nullptr;
    bool m_cancellable = true;
};
