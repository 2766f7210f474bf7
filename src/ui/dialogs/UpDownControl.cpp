#include "ui/dialogs/UpDownControl.h"

#include <QKeyEvent>
#include <algorithm>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "collect/DialogExchange.h"

namespace tonmira::ui {

UpDownControl::UpDownControl(QLineEdit* buddy, QWidget* parent) : QWidget(parent), m_pBuddy(buddy)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_pUp = new QToolButton(this);
    m_pUp->setArrowType(Qt::UpArrow);
    m_pDown = new QToolButton(this);
    m_pDown->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {m_pUp, m_pDown}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(button);
    }
    connect(m_pUp, &QToolButton::clicked, this, [this] { Step(1); });
    connect(m_pDown, &QToolButton::clicked, this, [this] { Step(-1); });
    m_pBuddy->installEventFilter(this);
}

void UpDownControl::SetRange(int lower, int upper)
{
    m_nLower = lower;
    m_nUpper = upper;
}

void UpDownControl::SetPos(int position)
{
    m_nPos = std::clamp(position, std::min(m_nLower, m_nUpper), std::max(m_nLower, m_nUpper));
    QString text = QString::fromStdString(FormatDialogInt(m_nPos));
    if (m_pBuddy->text() != text)
        m_pBuddy->setText(text);
}

void UpDownControl::Step(int delta)
{
    if (!isEnabled() || !m_pBuddy->isEnabled())
        return;
    int current = ParseDialogInt(m_pBuddy->text().toStdString()).value_or(m_nPos);
    SetPos(current + delta);
    m_pBuddy->selectAll();
}

bool UpDownControl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pBuddy && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            Step(key->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tonmira::ui
