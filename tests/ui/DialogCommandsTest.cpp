// The window's dialog commands reach the real dialogs and apply what they decide: collection
// settings to the recording timer, range expansion to the take, the detection-level window to
// the view's fundamental boxes.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>

#include "UiFixture.h"
#include "view/AutoRecordControls.h"
#include "ui/dialogs/CFreqLevel.h"
#include "ui/dialogs/CRangeSetupDlg.h"
#include "ui/dialogs/CRecordSetupDlg.h"
#include "ui/dialogs/DialogTestUtil.h"
#include "view/CommandIds.h"

namespace tonmira::test {
namespace {

using DialogCommandsTest = UiFixture;

TEST_F(DialogCommandsTest, SettingsAndRangeExpansionApplyOnOk)
{
    ASSERT_TRUE(frame->OpenFile(WriteWav("tone.wav", SineSamples(20000, 2, 440, 44100, 8000))));
    ModalScript script({[](QDialog* dlg) {
                            EXPECT_EQ(dlg->windowTitle(), "自動集音設定");
                            Type(dlg, kIdcCollectLevel, "900");
                            Click(dlg, ui::kIdOk);
                        },
                        [](QDialog* dlg) {
                            EXPECT_EQ(dlg->windowTitle(), "ﾚﾝｼﾞ拡張");
                            QTest::keyClick(Control(dlg, ui::kIdcRangeSlider), Qt::Key_Home);
                            Click(dlg, ui::kIdOk);
                        },
                        [](QDialog* dlg) {
                            EXPECT_EQ(dlg->windowTitle(), "ﾌﾟﾛﾊﾟﾃｨ");
                            EXPECT_EQ(Control<QLabel>(dlg, 1035)->text(), "00:00.453");
                            Click(dlg, ui::kIdOk);
                        }});
    Core().m_transport.SetAutoStartLevel(10);
    ASSERT_TRUE(frame->Dispatch(view::kCmdAutoRecordSetup));
    EXPECT_EQ(Core().m_settings.m_nCollectLevel, 900);
    EXPECT_EQ(Core().m_transport.CollectLevel(), 900) << "the recording timer has the level";
    EXPECT_EQ(Core().m_transport.AutoStartLevel(), 0);

    ASSERT_TRUE(frame->Dispatch(view::kCmdRangeExpand));
    EXPECT_EQ(Doc().m_nPeak, 32767);
    EXPECT_TRUE(Doc().IsModified());
    ASSERT_TRUE(frame->Dispatch(view::kCmdProperties));
    EXPECT_EQ(script.Remaining(), 0u);
    EXPECT_TRUE(sink.m_messages.empty());
}

// Both dialogs show and change the same level: an automatic start level turns collection off in
// the collection settings, so their dialog shows 0 and its OK keeps the automatic start.
TEST_F(DialogCommandsTest, AutoStartLevelAndCollectionLevelExcludeEachOther)
{
    ModalScript script({[](QDialog* dlg) {
                            Type(dlg, kIdcCollectLevel, "1000");
                            Click(dlg, ui::kIdOk);
                        },
                        [](QDialog* dlg) {
                            EXPECT_EQ(dlg->windowTitle(), "録音設定");
                            Control<QSlider>(dlg, ui::kIdcRecordLevel)->setValue(5);
                            Click(dlg, ui::kIdOk);
                        },
                        [](QDialog* dlg) {
                            EXPECT_EQ(Text(dlg, kIdcCollectLevel), "0");
                            Click(dlg, ui::kIdOk);
                        }});
    ASSERT_TRUE(frame->Dispatch(view::kCmdAutoRecordSetup));
    ASSERT_EQ(Core().m_transport.CollectLevel(), 1000);
    ASSERT_TRUE(frame->Dispatch(view::kCmdRecordSetup));
    EXPECT_EQ(Core().m_settings.m_nCollectLevel, 0);
    EXPECT_EQ(Core().m_transport.CollectLevel(), 0);
    ASSERT_TRUE(frame->Dispatch(view::kCmdAutoRecordSetup));
    EXPECT_EQ(Core().m_transport.AutoStartLevel(), 5);
    EXPECT_EQ(Core().m_transport.CollectLevel(), 0);
    EXPECT_EQ(script.Remaining(), 0u);
}

// A new recording rate shows its whole band in the range edits; the same rate keeps the range.
TEST_F(DialogCommandsTest, ARecordingRateChangeShowsTheWholeBand)
{
    auto chooseRate = [](int index) {
        return [index](QDialog* dlg) {
            Control<QComboBox>(dlg, ui::kIdcRecordRate)->setCurrentIndex(index);
            Click(dlg, ui::kIdOk);
        };
    };
    auto* maxEdit = qobject_cast<QLineEdit*>(frame->View().Control(1002));
    auto* minEdit = qobject_cast<QLineEdit*>(frame->View().Control(1003));
    ModalScript script({chooseRate(1), chooseRate(1)});
    Core().m_display.m_nMinFreq = 100;
    ASSERT_TRUE(frame->Dispatch(view::kCmdRecordSetup));
    const int halfRate = static_cast<int>(Doc().m_header.nSamplesPerSec / 2);
    EXPECT_EQ(maxEdit->text().toInt(), halfRate);
    EXPECT_EQ(minEdit->text(), "0");
    Core().m_display.m_nMinFreq = 100;
    ASSERT_TRUE(frame->Dispatch(view::kCmdRecordSetup));
    EXPECT_EQ(Core().m_display.m_nMinFreq, 100) << "same rate, same range";
    EXPECT_EQ(script.Remaining(), 0u);
}

TEST_F(DialogCommandsTest, DetectionLevelWindowIsMadeOnceAndRepicksTheViewsBoxes)
{
    ASSERT_TRUE(frame->OpenFile(WriteWav("tone.wav", SineSamples(20000, 2, 440, 44100, 8000))));
    frame->View().repaint();  // the spectrum is computed and handed over when drawn
    auto* box1 = qobject_cast<QListWidget*>(frame->View().Control(1042));
    ASSERT_NE(box1, nullptr);
    ASSERT_GT(box1->count(), 0);

    ASSERT_TRUE(frame->Dispatch(view::kCmdDetectLevel));
    auto* window = frame->View().findChild<ui::CFreqLevel*>();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    frame->View().repaint();
    EXPECT_GT(box1->count(), 0) << "the command recomputes at the window's level";
    QTest::keyClick(window->m_sliderLevel, Qt::Key_Home);
    EXPECT_EQ(box1->count(), 0) << "level 0 picks nothing, at once";
    window->m_sliderLevel->setValue(5);
    EXPECT_GT(box1->count(), 0);
    window->m_sliderLevel->setValue(12);
    Click(window, ui::kIdOk);
    EXPECT_FALSE(window->isVisible());
    ASSERT_TRUE(frame->Dispatch(view::kCmdDetectLevel));
    EXPECT_EQ(frame->View().findChildren<ui::CFreqLevel*>().size(), 1);
    EXPECT_EQ(window->m_sliderLevel->value(), 12);
}

}  // namespace
}  // namespace tonmira::test
