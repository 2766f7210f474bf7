#include "ui/SuspendWatcher.h"

#include <QDBusConnection>

namespace tonmira::ui {

SuspendWatcher::SuspendWatcher(QObject* parent) : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    m_bConnected = bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                               QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"),
                               this, SLOT(OnPrepareForSleep(bool)));
}

void SuspendWatcher::OnPrepareForSleep(bool start)
{
    if (start)
        emit aboutToSuspend();
}

}  // namespace tonmira::ui
