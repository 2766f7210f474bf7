#pragma once
// The Qt side of the core's host interfaces, without a widget: timer 1 (and any other id) is a
// QTimer, the collection worker's calls are posted to the UI thread and waited for, messages go to
// a MessageSink, and everything the transport changes on the screen goes to a ViewScreen.
#include <QObject>
#include <QTimer>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>

#include "audio/TransportHost.h"
#include "collect/CollectHost.h"

namespace tonmira::ui {

class ViewScreen;

class QtHost : public QObject, public TransportHost, public CollectHost {
    Q_OBJECT
public:
    // Lives on the thread that creates it (the UI thread); onTimer gets every timer id.
    QtHost(MessageSink& sink, std::function<void(int)> onTimer, QObject* parent = nullptr);
    ~QtHost() override;

    // The widget that shows the transport's changes; null = none (then those calls do nothing).
    void SetScreen(ViewScreen* screen) { m_pScreen = screen; }

    // TransportHost
    void Message(const std::string& text) override;
    void SetTimer(int id, UINT ms) override;
    void KillTimer(int id) override;
    void SetSliderRange(UINT min, UINT max) override;
    void SetSliderPosition(UINT position) override;
    void SetControlText(int id, const std::string& text) override;
    void EnableControl(int id, bool enable) override;
    void InvalidateAnalysis() override;
    void UpdateControlsFromMembers() override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    bool RunRecordSetupDialog(RecordSetupValues& values) override;
    bool RunBalanceDialog(int& balance) override;
    bool RunSpeedDialog(int& speed) override;
    void ApplyRateChange(int fftSizeIndex) override;

    // CollectHost: from the worker thread. RunOnUiThread blocks until fn has run on the UI thread
    // (directly when called there); Sleep is a real sleep.
    void RunOnUiThread(const std::function<void()>& fn) override;
    void Sleep(int ms) override;
    void EventProcessed(const EventOutcome& outcome) override;

    // Whether timer id is armed, and its period in ms (0 when not armed).
    bool IsTimerArmed(int id) const;
    int TimerInterval(int id) const;

signals:
    // UI thread: the analysis at the position must be recomputed and drawn.
    void analysisInvalidated();
    // UI thread: a collection event has been processed.
    void eventProcessed();
    // Worker thread: a call waits in m_pPending (delivered queued to the UI thread).
    void callPosted();

private:
    // UI thread: runs the waiting call and wakes the worker.
    void RunPostedCall();

    // The hand-over of one worker call. The call itself stays on the worker's stack; the mutex
    // and the condition (not Qt's event queue) order the worker's writes before the call with
    // the UI thread's, and the call's effects before the worker goes on.
    std::mutex m_callMutex;
    std::condition_variable m_callDone;
    const std::function<void()>* m_pPending = nullptr;
    bool m_bCallDone = false;

    MessageSink& m_sink;
    std::function<void(int)> m_onTimer;
    std::map<int, QTimer*> m_timers;
    ViewScreen* m_pScreen = nullptr;
};

}  // namespace tonmira::ui
