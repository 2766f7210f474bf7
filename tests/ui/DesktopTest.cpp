// What the desktop sees of the program: its window icon is built in (a resource of the static
// library that the linker must not drop).
#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>

#include "ui/TonmiraApp.h"

namespace tonmira::test {
namespace {

TEST(DesktopTest, WindowIconIsBuiltIn)
{
    ui::UseProgramIcon();
    const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(48, 48)));
    EXPECT_TRUE(sizes.contains(QSize(256, 256)));
    EXPECT_EQ(QGuiApplication::desktopFileName(), "tonmira");
}

}  // namespace
}  // namespace tonmira::test
