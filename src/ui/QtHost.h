#pragma once
// The Qt side of the core's host interfaces, without a widget: timer 1 (and any other id) is a
// QTimer, messages go to a MessageSink, and a finished collection worker's post is queued to the
// UI thread.
#include <QObject>
#include <QTimer>
#include <functional>
#include <map>

#include "audio/TransportHost.h"
#include "collect/CollectHost.h"

namespace tonmira::ui {

class QtHost : public QObject, public TransportHost, public CollectHost {
    Q_OBJECT
public:
    // Lives on the thread that creates it (the UI thread); onTimer gets every timer id.
    QtHost(MessageSink& sink, std::function<void(int)> onTimer, QObject* parent = nullptr);
    ~QtHost() override;

    // TransportHost
    void Message(const std::string& text) override;
    void SetTimer(int id, UINT ms) override;
    void KillTimer(int id) override;

    // CollectHost: from the worker thread; fn runs on the UI thread at its next turn (never,
    // when this host is gone by then).
    void PostToOwner(std::function<void()> fn) override;

    // Whether timer id is armed, and its period in ms (0 when not armed).
    bool IsTimerArmed(int id) const;
    int TimerInterval(int id) const;

private:
    MessageSink& m_sink;
    std::function<void(int)> m_onTimer;
    std::map<int, QTimer*> m_timers;
};

}  // namespace tonmira::ui
