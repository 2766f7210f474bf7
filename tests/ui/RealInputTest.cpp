// The window on a real X display (Xvfb), driven by real input events (XTEST through xdotool):
// what only the widgets themselves decide, which synthetic Qt events would pass by. Run by the
// end-to-end stage under xvfb-run with the xcb platform; offscreen these tests are skipped.
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include "UiFixture.h"
#include "XDisplayFixture.h"
#include "view/AutoRecordControls.h"
#include "view/CommandIds.h"
#include "ui/dialogs/DialogTestUtil.h"
#include "ui/dialogs/UpDownControl.h"
#include "ui/i18n/Translation.h"

namespace tonmira::test {
namespace {

// Runs xdotool with args while the event loop goes on; true when it ended well.
bool XdoTool(const QStringList& args)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), args);
    if (!xdotool.waitForStarted(5000))
        return false;
    (void)QTest::qWaitFor([&] { return xdotool.state() == QProcess::NotRunning; }, 10000);
    return xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0;
}

// Starts xdotool and returns at once: for a key that opens a modal dialog from within a step of
// a ModalScript, whose next step can run only once this one has returned.
void XdoToolLater(const QStringList& args) { QProcess::startDetached(QStringLiteral("xdotool"), args); }

QStringList At(const QWidget* widget)
{
    const QPoint p = widget->mapToGlobal(widget->rect().center());
    return {QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())};
}


TEST_F(XDisplay, HeldSpinArrowStepsFasterTheLongerItIsHeld)
{
    ASSERT_TRUE(frame->OpenFile(WriteWav("r.wav", SineSamples(10000, 1, 440, 44100, 9000), 1)));
    auto* minSpin = frame->View().findChild<ui::UpDownControl*>("idc1059");
    auto* minEdit = qobject_cast<QLineEdit*>(frame->View().Control(1003));
    ASSERT_TRUE(minSpin && minEdit);
    QToolButton* up = minSpin->findChildren<QToolButton*>().value(0);
    ASSERT_NE(up, nullptr);
    ASSERT_EQ(up->arrowType(), Qt::UpArrow);
    ASSERT_TRUE(XdoTool(At(up) << "mousedown" << "1"));
    QTest::qWait(2500);
    ASSERT_TRUE(XdoTool({"mouseup", "1"}));
    QApplication::processEvents();
    // Steps of 1, of 10 after a second and of 100 after two: well over 100 in 2.5 s, where
    // steps of 1 every 100 ms come to about 20.
    EXPECT_GE(minEdit->text().toInt(), 100) << minEdit->text().toStdString();
}

TEST_F(XDisplay, DialogOpensWithItsFirstEditSelectedAndEnterPressesTheFocusedButton)
{
    Core().m_settings.m_nCollectLevel = 5;
    QString chooserTitle;
    ModalScript script({[](QDialog* dlg) {
                            // Typing replaces the first field's value.
                            EXPECT_TRUE(XdoTool({"type", "--delay", "30", "900"}));
                            EXPECT_EQ(Text(dlg, kIdcCollectLevel), "900");
                            // Enter on 設定保存 presses it, not OK.
                            Control(dlg, kIdcSaveSettings)->setFocus();
                            XdoToolLater({"key", "Return"});
                        },
                        [&](QDialog* chooser) {
                            chooserTitle = chooser->windowTitle();
                            chooser->reject();
                        },
                        [](QDialog* dlg) { Click(dlg, ui::kIdCancel); }});
    frame->Dispatch(view::kCmdAutoRecordSetup);
    EXPECT_EQ(script.Remaining(), 0u);
    EXPECT_FALSE(chooserTitle.isEmpty()) << "the save button opened its file dialog";
    EXPECT_EQ(Core().m_settings.m_nCollectLevel, 5) << "the dialog was cancelled, not confirmed";
}

TEST_F(XDisplay, MenuOpensOverAFrequencyEditHoldingABadValue)
{
    ASSERT_TRUE(frame->OpenFile(WriteWav("r.wav", SineSamples(10000, 1, 440, 44100, 9000), 1)));
    auto* maxEdit = qobject_cast<QLineEdit*>(frame->View().Control(1002));
    auto* minEdit = qobject_cast<QLineEdit*>(frame->View().Control(1003));
    minEdit->setFocus();
    minEdit->setText("100");
    emit minEdit->textEdited("100");
    maxEdit->setFocus();
    maxEdit->selectAll();
    ASSERT_TRUE(XdoTool({"type", "--delay", "30", "50"}));
    ASSERT_EQ(maxEdit->text(), "50");
    ASSERT_TRUE(XdoTool({"key", "alt+f"}));
    (void)QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }, 3000);
    EXPECT_NE(qobject_cast<QMenu*>(QApplication::activePopupWidget()), nullptr);
    QApplication::processEvents();
    EXPECT_TRUE(sink.m_messages.empty()) << "opening a menu is not leaving the edit";
    ASSERT_TRUE(XdoTool({"key", "Escape", "Escape"}));
    (void)QTest::qWaitFor([] { return QApplication::activePopupWidget() == nullptr; }, 3000);
    // Leaving the edit for another control still checks it.
    minEdit->setFocus();
    (void)QTest::qWaitFor([&] { return !sink.m_messages.empty(); }, 3000);
    ASSERT_EQ(sink.m_messages.size(), 1u);
    EXPECT_EQ(sink.m_messages[0], "最低周波数より大きな値を入力してください！");
}

TEST_F(XDisplay, JapaneseWindowsFileDialogSpeaksJapanese)
{
    ui::UseLanguage(ui::Language::Japanese);
    QStringList buttons;
    ModalScript script({[&](QDialog* dlg) {
        for (QPushButton* b : dlg->findChildren<QPushButton*>())
            buttons << b->text();
        dlg->reject();
    }});
    ASSERT_TRUE(XdoTool({"key", "ctrl+o"}));
    (void)QTest::qWaitFor([&] { return script.Remaining() == 0; }, 5000);
    EXPECT_TRUE(buttons.contains("キャンセル")) << buttons.join('|').toStdString();
    EXPECT_FALSE(buttons.contains("Cancel")) << buttons.join('|').toStdString();
}

TEST_F(XDisplay, LockPanesFollowTheKeyboard)
{
    auto* caps = frame->statusBar()->findChild<QLabel*>("CAP");
    ASSERT_NE(caps, nullptr);
    const bool before = caps->isEnabled();
    ASSERT_TRUE(XdoTool({"key", "Caps_Lock"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return caps->isEnabled() != before; }, 3000));
    ASSERT_TRUE(XdoTool({"key", "Caps_Lock"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return caps->isEnabled() == before; }, 3000));
}

}  // namespace
}  // namespace tonmira::test
