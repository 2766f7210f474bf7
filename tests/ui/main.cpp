// The window's tests: one QApplication on the offscreen platform (no display, no modal box ever
// shown), settings in a test folder of their own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

#include "ui/TonmiraApp.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("tonmira-tests"));
    QApplication::setApplicationName(QStringLiteral("Tonmira"));
    tonmira::ui::UseDialogFont();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
