// Test main of the dialog tests: one QApplication for every test, offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);  // settings a dialog keeps stay out of the user's own
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("tonmira-tests"));
    QApplication::setApplicationName(QStringLiteral("TonmiraDialogs"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
