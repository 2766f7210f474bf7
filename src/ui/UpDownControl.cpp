#include "ui/UpDownControl.h"

#include <QResizeEvent>
#include <QToolButton>
#include <QVBoxLayout>

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
        layout->addWidget(b);
    }
    connect(m_pUp, &QToolButton::pressed, this, [this] { m_held.start(); });
    connect(m_pDown, &QToolButton::pressed, this, [this] { m_held.start(); });
    connect(m_pUp, &QToolButton::clicked, this, [this] { Pressed(+1); });
    connect(m_pDown, &QToolButton::clicked, this, [this] { Pressed(-1); });
}

void UpDownControl::SetRange(int min, int max)
{
    m_nMin = min;
    m_nMax = max;
}

void UpDownControl::Pressed(int direction)
{
    const int held = m_held.isValid() ? static_cast<int>(m_held.elapsed()) : 0;
    Step(direction * view::SpinAcceleration(held));
}

void UpDownControl::Step(int delta)
{
    bool refuse = false;
    emit deltaPos(m_nPos, delta, &refuse);
    if (refuse)
        return;
    int pos = m_nPos + delta;
    m_nPos = pos < m_nMin ? m_nMin : pos > m_nMax ? m_nMax : pos;
}

}  // namespace tonmira::ui
