#pragma once
// The program's messages as message boxes: critical icon, OK only, on top, captioned "Tonmira".
#include <QPointer>
#include <QWidget>

#include "base/MessageSink.h"

namespace tonmira::ui {

class QtMessageSink : public MessageSink {
public:
    // UI thread only; parent may be null (before the frame exists).
    void Message(const std::string& text) override;
    void SetParent(QWidget* parent) { m_parent = parent; }

private:
    QPointer<QWidget> m_parent;
};

}  // namespace tonmira::ui
