#pragma once
// A small modal dialog that runs one worker thread: a line of text, an optional icon and a
// Cancel button. Cancel (or Escape) closes the dialog at once; the worker is told through its
// token, is never waited for, and whatever it still sends or posts is dropped. The dialog can
// be destroyed while its worker runs.
#include <QDialog>
#include <functional>
#include <memory>

#include "CJobToken.h"

class QLabel;
class QPushButton;

class CWorkerDialog : public QDialog {
    Q_OBJECT
  public:
    explicit CWorkerDialog(QWidget* parent = nullptr);
    ~CWorkerDialog() override;

    void SetText(const QString& text);
    QString Text() const;
    void SetIcon(const QIcon& icon);
    QPushButton* CancelButton() const { return m_cancel; }

    // Starts work on a worker thread of its own. work gets the token through which it reaches
    // this dialog.
    void StartWorker(std::function<void(const std::shared_ptr<CJobToken>&)> work);
    const std::shared_ptr<CJobToken>& Token() const { return m_token; }

    void reject() override;

  protected:
    // Starts the work; called once, when the dialog is first shown.
    virtual void Begin() {}
    void showEvent(QShowEvent* event) override;

  private:
    QLabel* m_icon;
    QLabel* m_text;
    QPushButton* m_cancel;
    std::shared_ptr<CJobToken> m_token;
    bool m_begun = false;
};
