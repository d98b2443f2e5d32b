#pragma once
// Runs a handler on every widget as it is shown, however quickly it closes again: a dialog
// whose worker ends at once may be gone before CModalDriver's next poll.
#include <QApplication>
#include <QEvent>
#include <QObject>
#include <functional>

class CShowSpy : public QObject {
  public:
    explicit CShowSpy(std::function<void(QWidget*)> onShow) : m_onShow(std::move(onShow)) {
        qApp->installEventFilter(this);
    }
    ~CShowSpy() override { qApp->removeEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType())
            m_onShow(static_cast<QWidget*>(watched));
        return false;
    }

  private:
    std::function<void(QWidget*)> m_onShow;
};
