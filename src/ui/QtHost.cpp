#include "ui/QtHost.h"


namespace tonmira::ui {

QtHost::QtHost(MessageSink& sink, std::function<void(int)> onTimer, QObject* parent)
    : QObject(parent), m_sink(sink), m_onTimer(std::move(onTimer))
{
}

QtHost::~QtHost() = default;

void QtHost::Message(const std::string& text) { m_sink.Message(text); }

void QtHost::SetTimer(int id, UINT ms)
{
    QTimer*& timer = m_timers[id];
    if (!timer) {
        timer = new QTimer(this);
        timer->setTimerType(Qt::PreciseTimer);
        connect(timer, &QTimer::timeout, this, [this, id] { m_onTimer(id); });
    }
    // Like a window timer: repeats until killed; arming again restarts the period.
    timer->start(static_cast<int>(ms));
}

void QtHost::KillTimer(int id)
{
    auto it = m_timers.find(id);
    if (it != m_timers.end())
        it->second->stop();
}

bool QtHost::IsTimerArmed(int id) const
{
    auto it = m_timers.find(id);
    return it != m_timers.end() && it->second->isActive();
}

int QtHost::TimerInterval(int id) const { return IsTimerArmed(id) ? m_timers.at(id)->interval() : 0; }

void QtHost::PostToOwner(std::function<void()> fn)
{
    // Queued to this object's thread; dropped with the object.
    QMetaObject::invokeMethod(this, std::move(fn), Qt::QueuedConnection);
}

}  // namespace tonmira::ui
