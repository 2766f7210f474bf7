#pragma once
// Tells when the system is about to suspend (logind's PrepareForSleep on the system bus). Without
// a system bus or logind nothing is ever reported.
#include <QObject>

namespace tonmira::ui {

class SuspendWatcher : public QObject {
    Q_OBJECT
public:
    explicit SuspendWatcher(QObject* parent = nullptr);
    bool IsConnected() const { return m_bConnected; }

signals:
    void aboutToSuspend();

private slots:
    void OnPrepareForSleep(bool start);

private:
    bool m_bConnected = false;
};

}  // namespace tonmira::ui
