// The window's tests: one QApplication on the offscreen platform (no display, no modal box ever
// shown), settings in a test folder of their own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "ui/FrameStyle.h"
#include "ui/TonmiraApp.h"

// Under ThreadSanitizer: Qt, GLib and the D-Bus library are not built with it, so what their own
// threads (Qt's D-Bus thread, the GLib event loop) do with their own atomics and futexes looks
// like races. Reports with any frame in them are dropped; our code is instrumented and still
// checked, including every hand-over between the collection worker and the UI thread.
extern "C" const char* __tsan_default_suppressions()
{
    return "race:libglib-2.0.so\n"
           "race:libQt6Core.so\n"
           "race:libQt6Gui.so\n"
           "race:libQt6Widgets.so\n"
           "race:libQt6DBus.so\n"
           "race:libdbus-1.so\n";
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("tonmira-tests"));
    QApplication::setApplicationName(QStringLiteral("Tonmira"));
    // ctest runs each test in a process of its own, several at once: each process keeps its
    // settings in a folder of its own, or one test's recent files would land in another's list.
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    tonmira::ui::UseDialogFont();
    tonmira::ui::UseFrameStyle();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
