#pragma once
// The program's messages as message boxes: critical icon, OK only, on top, captioned "Tonmira".
#include <QPointer>
#include <QWidget>

#include "base/MessageSink.h"

namespace tonmira::ui {

class QtMessageSink : public MessageSink {
public:
    // Any thread (another thread waits for the UI thread to show it); parent may be null.
    void Message(const std::string& text) override;
    void SetParent(QWidget* parent) { m_parent = parent; }

private:
    QPointer<QWidget> m_parent;
};

}  // namespace tonmira::ui
