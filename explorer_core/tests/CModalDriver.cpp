#include "CModalDriver.h"

#include <QApplication>

CModalDriver::CModalDriver() {
    m_timer.setInterval(2);
    connect(&m_timer, &QTimer::timeout, this, &CModalDriver::Poll);
    m_timer.start();
}

void CModalDriver::Poll() {
    if (m_handlers.empty() && !m_every) return;
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || modal == m_last) return;
    m_last = modal;
    if (m_every) {
        m_every(modal);
        return;
    }
    Handler h = std::move(m_handlers.front());
    m_handlers.pop_front();
    h(modal);
}
