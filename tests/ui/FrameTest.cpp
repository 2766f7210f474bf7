// The frame: menus with their texts, ids and keys, the tool bar, the status bar, and command
// states that follow the document whether a command comes from the menu, a key or the tool bar.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <thread>

#include "UiFixture.h"
#include "ui/QtHost.h"
#include "ui/SuspendWatcher.h"
#include "ui/dialogs/DialogUnits.h"
#include "view/CommandIds.h"
#include "view/FormLayout.h"

namespace tonmira::test {
namespace {

using FrameTest = UiFixture;

std::vector<std::pair<int, QString>> MenuItems(QMenu* menu)
{
    std::vector<std::pair<int, QString>> items;
    for (QAction* a : menu->actions())
        items.push_back({a->isSeparator() ? 0 : a->data().toInt(), a->text()});
    return items;
}

TEST_F(FrameTest, MenusKeysToolBarAndStatusBar)
{
    // The first update fits the frame to the form: the view is the form's size, the graphs the
    // template's.
    const ui::CTonmiraView& view = frame->View();
    EXPECT_EQ(view.size(), QSize(view.Layout().FormWidth(), view.Layout().FormHeight()));
    EXPECT_EQ(view.Layout().m_rcWave, view::FormLayout(ui::DialogBaseUnits(QApplication::font())).m_rcWave);
    QWidget* sizes = view.Control(1001);
    EXPECT_GE(sizes->width(), sizes->sizeHint().width()) << "the size list shows 131072 whole";
    const QList<QAction*> popups = frame->menuBar()->actions();
    QStringList titles;
    for (QAction* p : popups)
        titles << p->text();
    EXPECT_EQ(titles, (QStringList{"ﾌｧｲﾙ(&F)", "編集(&E)", "録音/再生(&G)", "位置(&P)", "ｵﾌﾟｼｮﾝ(&O)", "表示(&V)",
                                   "ﾍﾙﾌﾟ(&H)"}));

    const auto transport = MenuItems(popups[2]->menu());
    const std::vector<std::pair<int, QString>> expected = {
        {32778, "再生(&P)\tCtrl+P"}, {32781, "録音(&R)\tCtrl+R"}, {32779, "停止(&S)\tSpace"},
        {32780, "一時停止(&T)\tCtrl+T"}, {0, ""}, {32789, "ロック(&L)"}};
    EXPECT_EQ(transport, expected);
    const auto file = MenuItems(popups[0]->menu());
    ASSERT_EQ(file.size(), 13u);
    EXPECT_EQ(file[3], (std::pair<int, QString>{57604, "名前を付けて保存(&A)..."}));
    EXPECT_EQ(file[10], (std::pair<int, QString>{57616, "最近使ったﾌｧｲﾙ"}));
    EXPECT_EQ(file[12], (std::pair<int, QString>{57665, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"}));
    EXPECT_EQ(MenuItems(popups[6]->menu()).back().second, "Tonmira のﾊﾞｰｼﾞｮﾝ情報(&A)...");

    // Prompts and tips of the commands.
    EXPECT_EQ(frame->Action(32779)->statusTip(), "PCMﾃﾞｰﾀの録音/再生の停止");
    EXPECT_EQ(frame->Action(32779)->toolTip(), "停止");
    EXPECT_EQ(frame->Action(57664)->statusTip(), "ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示");
    EXPECT_TRUE(frame->Action(32785)->isCheckable());
    EXPECT_FALSE(frame->Action(32786)->isCheckable());

    // Tool bar: 18 entries in order, separators as 0, every button with an icon.
    std::vector<int> bar;
    for (QAction* a : frame->ToolBar()->actions()) {
        bar.push_back(a->isSeparator() ? 0 : a->data().toInt());
        if (!a->isSeparator()) {
            EXPECT_FALSE(a->icon().isNull()) << a->data().toInt();
        }
    }
    EXPECT_EQ(bar, (std::vector<int>{57600, 57601, 57603, 0, 32771, 32773, 0, 32779, 32778, 32780, 32781, 0, 32782,
                                     32783, 32790, 32793, 0, 57664}));

    // Keys.
    std::map<QString, int> keys;
    for (QAction* a : frame->actions())
        if (!a->shortcut().isEmpty())
            keys[a->shortcut().toString()] = a->data().toInt();
    EXPECT_EQ(keys["Ctrl+N"], 57600);
    EXPECT_EQ(keys["Ctrl+S"], 57603);
    EXPECT_EQ(keys["Ctrl+R"], 32781);
    EXPECT_EQ(keys["Space"], 32779);
    EXPECT_EQ(keys["Shift+Ins"], 57637);
    EXPECT_EQ(keys["Alt+Backspace"], 57643);
    EXPECT_EQ(keys["Shift+F6"], 57681);
    EXPECT_EQ(keys.size(), 17u);
    // Every command the table gives a rule is bound to a handler, or it would stay disabled.
    for (const view::Command& command : view::Commands()) {
        if (command.rule) {
            EXPECT_TRUE(frame->QueryCommand(command.id).m_bHandled) << command.id;
        }
    }

    // Status bar: the message pane and CAP, NUM, SCRL.
    for (const char* pane : {"CAP", "NUM", "SCRL"})
        EXPECT_NE(frame->statusBar()->findChild<QLabel*>(pane), nullptr) << pane;
}

// Pixels unlike the row's background in the square at the left of a menu item's row, where its
// check mark goes.
int MarkPixels(QMenu* menu, QAction* action)
{
    const QImage image = menu->grab().toImage();
    const QRect row = menu->actionGeometry(action);
    const QRect square(row.left() + 2, row.top() + 2, row.height() - 4, row.height() - 4);
    const QColor background = image.pixelColor(square.topLeft());
    int drawn = 0;
    for (int y = square.top(); y <= square.bottom(); ++y)
        for (int x = square.left(); x <= square.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            drawn += std::abs(c.red() - background.red()) + std::abs(c.green() - background.green()) +
                         std::abs(c.blue() - background.blue()) > 40;
        }
    return drawn;
}

// How far a tool-bar button's face (a corner, away from its picture) is from the bar's own colour.
int FaceDistance(QToolBar* bar, QAction* action)
{
    QWidget* button = bar->widgetForAction(action);
    const QImage image = bar->grab().toImage();
    const QColor face = image.pixelColor(button->geometry().topLeft() + QPoint(3, 3));
    const QColor around = image.pixelColor(button->geometry().topLeft() + QPoint(-1, button->height() / 2));
    return std::abs(face.red() - around.red()) + std::abs(face.green() - around.green()) +
           std::abs(face.blue() - around.blue());
}

// A command that is on shows a tick in its menu and a held-down button; one that is off shows
// nothing at all in its menu.
TEST_F(FrameTest, CheckMarksShowOnlyWhatIsOn)
{
    ASSERT_TRUE(frame->OpenFile(WriteWav("m.wav", SineSamples(20000, 1, 440, 44100, 9000), 1)));
    frame->UpdateCommandUi();
    ASSERT_TRUE(frame->Action(view::kCmdStop)->isChecked());
    ASSERT_FALSE(frame->Action(view::kCmdPlay)->isChecked());
    ASSERT_FALSE(frame->Action(view::kCmdLock)->isChecked());
    QMenu* transport = frame->menuBar()->actions()[2]->menu();
    transport->popup(frame->mapToGlobal(QPoint(20, 20)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(transport));
    EXPECT_GT(MarkPixels(transport, frame->Action(view::kCmdStop)), 0);
    EXPECT_EQ(MarkPixels(transport, frame->Action(view::kCmdPlay)), 0);
    EXPECT_EQ(MarkPixels(transport, frame->Action(view::kCmdLock)), 0) << "no empty box";
    transport->hide();

    EXPECT_LE(FaceDistance(frame->ToolBar(), frame->Action(view::kCmdPlay)), 20);
    EXPECT_GE(FaceDistance(frame->ToolBar(), frame->Action(view::kCmdStop)), 110) << FaceDistance(frame->ToolBar(), frame->Action(view::kCmdPlay));
}

TEST_F(FrameTest, CommandsFollowTheDocumentFromEveryEntry)
{
    frame->UpdateCommandUi();
    EXPECT_FALSE(frame->Action(view::kCmdPlay)->isEnabled());
    EXPECT_TRUE(frame->Action(view::kCmdStop)->isChecked());  // idle
    EXPECT_EQ(frame->Action(view::kCmdGraphType)->text(), "片対数ｸﾞﾗﾌ(&G)");

    // A key for a disabled command does nothing.
    QTest::keyClick(frame.get(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(Doc().m_nState, TransportState::Idle);
    EXPECT_FALSE(frame->Dispatch(view::kCmdPlay));

    ASSERT_TRUE(frame->OpenFile(WriteWav("tone.wav", SineSamples(44100, 2, 440, 44100, 8000))));
    EXPECT_TRUE(frame->Action(view::kCmdPlay)->isEnabled());
    EXPECT_TRUE(frame->Action(view::kCmdBalance)->isEnabled());
    EXPECT_EQ(frame->windowTitle(), "tone.wav - Tonmira");

    // Ctrl+P plays: play checked, stop unchecked, file commands off.
    QTest::keyClick(frame.get(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(Doc().m_nState, TransportState::Playing);
    EXPECT_TRUE(frame->Action(view::kCmdPlay)->isChecked());
    EXPECT_FALSE(frame->Action(view::kCmdStop)->isChecked());
    EXPECT_FALSE(frame->Action(view::kCmdFileOpen)->isEnabled());
    EXPECT_FALSE(frame->Action(view::kCmdRecentFile)->isEnabled());  // tone.wav is on the list
    EXPECT_FALSE(frame->Dispatch(view::kCmdFileNew));
    // Space stops from the frequency edit, where an edit would otherwise take the key.
    QWidget* edit = frame->View().Control(1002);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Space);
    EXPECT_EQ(Doc().m_nState, TransportState::Idle);
    EXPECT_EQ(qobject_cast<QLineEdit*>(edit)->text(), "22050");

    // Locked: the transport keys and buttons are refused.
    QTest::keyClick(frame.get(), Qt::Key_T, Qt::ControlModifier);  // pause: allowed, arms m_bPause
    EXPECT_TRUE(frame->Action(view::kCmdPause)->isChecked());
    QTest::keyClick(frame.get(), Qt::Key_T, Qt::ControlModifier);
    ASSERT_TRUE(frame->Dispatch(view::kCmdLock));
    EXPECT_TRUE(frame->Action(view::kCmdLock)->isChecked());
    EXPECT_FALSE(frame->Action(view::kCmdRecord)->isEnabled());
    frame->Action(view::kCmdPlay)->trigger();
    QTest::keyClick(frame.get(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(Doc().m_nState, TransportState::Idle);
    EXPECT_FALSE(frame->Dispatch(view::kCmdPlay));

    // The graph type's item says what it switches to.
    ASSERT_TRUE(frame->Dispatch(view::kCmdGraphType));
    EXPECT_EQ(frame->Action(view::kCmdGraphType)->text(), "ﾘﾆｱｸﾞﾗﾌ(&G)");
    // Bars toggle and show their state.
    ASSERT_TRUE(frame->Dispatch(view::kCmdViewToolBar));
    EXPECT_FALSE(frame->ToolBar()->isVisible());
    EXPECT_FALSE(frame->Action(view::kCmdViewToolBar)->isChecked());

    // What a finished collection worker posts runs on the UI thread, and the commands follow the
    // change it announces there.
    std::thread worker([&] {
        frame->View().Host().PostToOwner([&] {
            Doc().m_bLock = 0;
            frame->View().Core().m_session.Changes().Publish(kChangeTransport);
        });
    });
    worker.join();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !frame->Action(view::kCmdLock)->isChecked(); }, 5000));
    EXPECT_TRUE(frame->Action(view::kCmdRecord)->isEnabled());
}

TEST_F(FrameTest, SuspendStopsPlayback)
{
    ASSERT_TRUE(frame->OpenFile(WriteWav("s.wav", SineSamples(44100, 2, 440, 44100, 8000))));
    ASSERT_TRUE(frame->Dispatch(view::kCmdPlay));
    ASSERT_EQ(Doc().m_nState, TransportState::Playing);
    auto* watcher = frame->findChild<ui::SuspendWatcher*>();
    ASSERT_NE(watcher, nullptr);
    emit watcher->aboutToSuspend();
    EXPECT_EQ(Doc().m_nState, TransportState::Idle);
    EXPECT_FALSE(backend.IsRunning(WaveDirection::Output));
}

TEST_F(FrameTest, MonoTakeAndMarks)
{
    ASSERT_TRUE(frame->OpenFile(WriteWav("mono.wav", SineSamples(20000, 1, 440, 44100, 8000), 1)));
    EXPECT_FALSE(frame->Action(view::kCmdBalance)->isEnabled());
    EXPECT_FALSE(frame->Action(view::kCmdSaveMonoData)->isEnabled());
    EXPECT_TRUE(frame->Action(view::kCmdSpeed)->isEnabled());
    // Start mark at position 0 stays cleared; at a later position it is set and checked; a
    // second press clears it. The end mark at the window's last frame, then back to the end.
    ASSERT_TRUE(frame->Dispatch(view::kCmdStartMark));
    EXPECT_EQ(Doc().m_nStartMark, 0u);
    EXPECT_FALSE(frame->Action(view::kCmdStartMark)->isChecked());
    ASSERT_TRUE(frame->Dispatch(view::kCmdToEnd));
    const UINT end = Doc().m_nPosition;
    EXPECT_EQ(end, 20000u - 4096);
    ASSERT_TRUE(frame->Dispatch(view::kCmdStartMark));
    EXPECT_EQ(Doc().m_nStartMark, end);
    EXPECT_TRUE(frame->Action(view::kCmdStartMark)->isChecked());
    ASSERT_TRUE(frame->Dispatch(view::kCmdStartMark));
    EXPECT_EQ(Doc().m_nStartMark, 0u);
    ASSERT_TRUE(frame->Dispatch(view::kCmdToStart));
    ASSERT_TRUE(frame->Dispatch(view::kCmdEndMark));
    EXPECT_EQ(Doc().m_nEndMark, 4095u);
    EXPECT_TRUE(frame->Action(view::kCmdEndMark)->isChecked());
    ASSERT_TRUE(frame->Dispatch(view::kCmdEndMark));
    EXPECT_EQ(Doc().m_nEndMark, 19999u);
}

}  // namespace
}  // namespace tonmira::test
