#pragma once
// "Overwrite confirm": a question with Yes, All, No and Cancel. Its button texts come from the
// program; the answer is the pressed button's id (closing the box counts as Cancel).
#include <QDialog>

#include "CJobQuestion.h"

class QLabel;

class COverwriteDlg : public QDialog {
    Q_OBJECT
  public:
    enum Answer {
        kYes = CJobQuestion::kYes,
        kNo = CJobQuestion::kNo,
        kCancel = CJobQuestion::kCancel,
        kAll = CJobQuestion::kAll
    };
    struct Texts {
        QString caption;  // "Overwrite confirm"
        QString yes, all, no, cancel;
    };

    COverwriteDlg(const Texts& texts, const QString& question, QWidget* parent);
    QString Question() const;
    // Presses a button as the user would.
    void Press(Answer answer) { done(answer); }

    void reject() override { done(kCancel); }

  protected:
    // The plain letters answer as their buttons' mnemonics do: Y, A, N and C.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QLabel* m_text;
};
