#pragma once
// The application's style with the frame's check marks drawn the way the users of the forms
// know them: a menu item that is on shows a tick and one that is off shows nothing (no empty box),
// and a tool-bar button that is on looks held down. Everything else is the base style's.
#include <QProxyStyle>

namespace tonmira::ui {

class FrameStyle : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
};

// Installs FrameStyle over the present application style (after the QApplication exists).
void UseFrameStyle();

}  // namespace tonmira::ui
