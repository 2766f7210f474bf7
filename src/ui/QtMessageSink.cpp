#include "ui/QtMessageSink.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include "ui/i18n/Translation.h"

namespace tonmira::ui {

void QtMessageSink::Message(const std::string& text)
{
    // The document may report from the collection worker (a buffer it could not build): the
    // box is shown by the UI thread, and the worker waits until it has been acknowledged.
    if (QThread::currentThread() != qApp->thread()) {
        QMetaObject::invokeMethod(qApp, [this, &text] { Message(text); }, Qt::BlockingQueuedConnection);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Tonmira"), TranslateMessage(text), QMessageBox::Ok,
                    m_parent.data());
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.exec();
}

}  // namespace tonmira::ui
