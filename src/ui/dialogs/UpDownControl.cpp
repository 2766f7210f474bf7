#include "ui/dialogs/UpDownControl.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "view/DialogExchange.h"
#include "view/FrequencyRange.h"

namespace tonmira::ui {

UpDownControl::UpDownControl(QWidget* parent) : QWidget(parent)
{
    m_pUp = new QToolButton(this);
    m_pDown = new QToolButton(this);
    m_pUp->setArrowType(Qt::UpArrow);
    m_pDown->setArrowType(Qt::DownArrow);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton* b : {m_pUp, m_pDown}) {
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(400);
        b->setAutoRepeatInterval(100);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        b->setFocusPolicy(Qt::NoFocus);
        // The hold is timed from the mouse press itself: the auto-repeat sends pressed() again
        // with every step, which would restart it.
        b->installEventFilter(this);
        layout->addWidget(b);
    }
    connect(m_pUp, &QToolButton::clicked, this, [this] { Pressed(+1); });
    connect(m_pDown, &QToolButton::clicked, this, [this] { Pressed(-1); });
}

void UpDownControl::SetRange(int min, int max)
{
    m_nMin = min;
    m_nMax = max;
}

void UpDownControl::SetPos(int pos)
{
    m_nPos = pos < m_nMin ? m_nMin : pos > m_nMax ? m_nMax : pos;
    ShowInBuddy();
}

void UpDownControl::SetBuddy(QLineEdit* buddy)
{
    if (m_pBuddy)
        m_pBuddy->removeEventFilter(this);
    m_pBuddy = buddy;
    if (m_pBuddy)
        m_pBuddy->installEventFilter(this);
}

void UpDownControl::ShowInBuddy()
{
    if (!m_pBuddy)
        return;
    const QString text = QString::fromStdString(FormatDialogInt(m_nPos));
    if (m_pBuddy->text() != text)  // no change notification for an unchanged edit
        m_pBuddy->setText(text);
}

void UpDownControl::Pressed(int direction)
{
    const int held = m_held.isValid() ? static_cast<int>(m_held.elapsed()) : 0;
    Step(direction * view::SpinAcceleration(held));
}

void UpDownControl::Step(int delta)
{
    if (m_pBuddy) {
        if (!m_pBuddy->isEnabled())
            return;
        // A typed value is where the step starts; text that is no integer leaves the position.
        if (auto typed = ParseDialogInt(m_pBuddy->text().toStdString()))
            m_nPos = *typed;
    }
    bool refuse = false;
    emit deltaPos(m_nPos, delta, &refuse);
    if (refuse)
        return;
    SetPos(m_nPos + delta);
}

bool UpDownControl::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == m_pUp || watched == m_pDown) &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick))
        m_held.start();
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
