#include "ui/QtHost.h"

#include <QThread>
#include <chrono>
#include <thread>

#include "ui/ViewScreen.h"

namespace tonmira::ui {

QtHost::QtHost(MessageSink& sink, std::function<void(int)> onTimer, QObject* parent)
    : QObject(parent), m_sink(sink), m_onTimer(std::move(onTimer))
{
    connect(this, &QtHost::callPosted, this, &QtHost::RunPostedCall, Qt::QueuedConnection);
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

void QtHost::SetSliderRange(UINT min, UINT max)
{
    if (m_pScreen)
        m_pScreen->SetSliderRange(min, max);
}

void QtHost::SetSliderPosition(UINT position)
{
    if (m_pScreen)
        m_pScreen->SetSliderPosition(position);
}

void QtHost::SetControlText(int id, const std::string& text)
{
    if (m_pScreen)
        m_pScreen->SetControlText(id, text);
}

void QtHost::EnableControl(int id, bool enable)
{
    if (m_pScreen)
        m_pScreen->EnableControl(id, enable);
}

void QtHost::InvalidateAnalysis()
{
    if (m_pScreen)
        m_pScreen->InvalidateAnalysis();
    emit analysisInvalidated();
}

void QtHost::UpdateControlsFromMembers()
{
    if (m_pScreen)
        m_pScreen->UpdateControlsFromMembers();
}

void QtHost::BeginWaitCursor()
{
    if (m_pScreen)
        m_pScreen->BeginWaitCursor();
}

void QtHost::EndWaitCursor()
{
    if (m_pScreen)
        m_pScreen->EndWaitCursor();
}

bool QtHost::RunRecordSetupDialog(RecordSetupValues& values)
{
    return m_pScreen && m_pScreen->RunRecordSetupDialog(values);
}

bool QtHost::RunBalanceDialog(int& balance) { return m_pScreen && m_pScreen->RunBalanceDialog(balance); }

bool QtHost::RunSpeedDialog(int& speed) { return m_pScreen && m_pScreen->RunSpeedDialog(speed); }

void QtHost::ApplyRateChange(int fftSizeIndex)
{
    if (m_pScreen)
        m_pScreen->ApplyRateChange(fftSizeIndex);
}

void QtHost::RunOnUiThread(const std::function<void()>& fn)
{
    if (QThread::currentThread() == thread()) {
        fn();
        return;
    }
    // The worker waits here until the UI thread has run fn: the calls stay in the order the
    // worker makes them, and fn may use the worker's locals by reference. One worker at a time.
    std::unique_lock lock(m_callMutex);
    m_pPending = &fn;
    m_bCallDone = false;
    emit callPosted();
    m_callDone.wait(lock, [this] { return m_bCallDone; });
}

void QtHost::RunPostedCall()
{
    const std::function<void()>* fn;
    {
        std::lock_guard lock(m_callMutex);
        fn = m_pPending;
    }
    if (!fn)
        return;
    (*fn)();
    if (m_pScreen)
        m_pScreen->TransportChanged();
    {
        std::lock_guard lock(m_callMutex);
        m_pPending = nullptr;
        m_bCallDone = true;
    }
    m_callDone.notify_all();
}

void QtHost::Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void QtHost::EventProcessed(const EventOutcome& /*outcome*/) { emit eventProcessed(); }

}  // namespace tonmira::ui
