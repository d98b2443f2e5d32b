#include "CWorkerDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "CJobRegistry.h"

CWorkerDialog::CWorkerDialog(QWidget* parent)
    : QDialog(parent),
      m_icon(new QLabel(this)),
      m_text(new QLabel(QStringLiteral("Static"), this)),
      m_cancel(nullptr),
      m_token(CJobToken::Create()) {
    setModal(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    m_cancel = buttons->button(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::rejected, this, &CWorkerDialog::reject);
    m_icon->setVisible(false);
    m_text->setMinimumWidth(260);
    m_text->setWordWrap(true);
    auto* row = new QHBoxLayout;
    row->addWidget(m_icon);
    row->addWidget(m_text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    // Never smaller than the text needs, whatever it grows to.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
}

CWorkerDialog::~CWorkerDialog() {
    // Nothing the worker delivers later may reach a dialog that is gone.
    m_token->Cancel();
}

void CWorkerDialog::SetText(const QString& text) {
    m_text->setText(text);
    // A longer text (a failure's reasons under the message) takes the height its lines need.
    if (QLayout* l = layout()) l->activate();
    if (isVisible()) adjustSize();
}

QString CWorkerDialog::Text() const {
    return m_text->text();
}

void CWorkerDialog::SetIcon(const QIcon& icon) {
    m_icon->setPixmap(icon.pixmap(32, 32));
    m_icon->setVisible(true);
}

void CWorkerDialog::StartWorker(std::function<void(const std::shared_ptr<CJobToken>&)> work) {
    CJobRegistry::Start([token = m_token, w = std::move(work)]() { w(token); });
}

void CWorkerDialog::reject() {
    m_token->Cancel();
    QDialog::reject();
}

void CWorkerDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_begun) {
        m_begun = true;
        Begin();
    }
}
