#include "COverwriteDlg.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

COverwriteDlg::COverwriteDlg(const Texts& texts, const QString& question, QWidget* parent)
    : QDialog(parent), m_text(new QLabel(question, this)) {
    setWindowTitle(texts.caption);
    setModal(true);
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    m_text->setWordWrap(true);
    m_text->setMinimumWidth(320);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(m_text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const std::pair<QString, Answer> all[] = {
        {texts.yes, kYes}, {texts.all, kAll}, {texts.no, kNo}, {texts.cancel, kCancel}};
    for (const auto& [text, answer] : all) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QStringLiteral("answer%1").arg(answer));
        if (answer == kYes) b->setDefault(true);
        connect(b, &QPushButton::clicked, this, [this, a = answer] { done(a); });
        buttons->addWidget(b);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
}

QString COverwriteDlg::Question() const {
    return m_text->text();
}

void COverwriteDlg::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier) {
        switch (event->key()) {
            case Qt::Key_Y:
                return done(kYes);
            case Qt::Key_A:
                return done(kAll);
            case Qt::Key_N:
                return done(kNo);
            case Qt::Key_C:
                return done(kCancel);
            default:
                break;
        }
    }
    QDialog::keyPressEvent(event);
}
