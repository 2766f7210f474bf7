#include "ui/QtMessageSink.h"

#include <QMessageBox>

namespace tonmira::ui {

void QtMessageSink::Message(const std::string& text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Tonmira"), QString::fromStdString(text), QMessageBox::Ok,
                    m_parent.data());
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.exec();
}

}  // namespace tonmira::ui
