// Test main of the dialog tests: one QApplication for every test, offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);  // settings a dialog keeps stay out of the user's own
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("tonmira-tests"));
    QApplication::setApplicationName(QStringLiteral("TonmiraDialogs"));
    // ctest runs each test in a process of its own, several at once: each process keeps its
    // settings in a folder of its own, or one test's recent files would land in another's list.
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
