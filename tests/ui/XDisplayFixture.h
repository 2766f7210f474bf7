#pragma once
// The fixture of the tests that need a real X display (the ui-e2e stage runs them under
// xvfb-run): skipped on the offscreen platform; a new modal dialog is given the focus, as a
// window manager would.
#include <QApplication>
#include <QGuiApplication>
#include <QTimer>

#include "UiFixture.h"

namespace tonmira::test {

class XDisplay : public UiFixture {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X display (run by the ui-e2e stage)";
        // The virtual display has no window manager to give a new dialog the focus.
        QObject::connect(&m_activator, &QTimer::timeout, [] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal->isVisible() && !modal->isActiveWindow())
                modal->activateWindow();
        });
        m_activator.start(20);
    }
    QTimer m_activator;
};

}  // namespace tonmira::test
