// The collection settings dialog: filled from the view, copied back on OK only, validated in
// the exchange order, the enable rules, and .ars files saved and loaded from its buttons.
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>

#include "DialogTestUtil.h"
#include "TestUtil.h"
#include "base/MessageSink.h"
#include "ui/dialogs/CAutoRecord.h"
#include "ui/dialogs/UpDownControl.h"

namespace tonmira::test {
namespace {

using ui::CAutoRecord;

struct AutoRecordDialogTest : ::testing::Test {
    CapturingMessageSink sink;
    ScriptedChooser chooser;
    CollectSettings view;  // the view's settings, defaults of a fresh start
    int autoStartLevel = 30;

    bool IsEnabled(QWidget* dlg, int id) { return Control(dlg, id)->isEnabled(); }
    bool IsChecked(QWidget* dlg, int id) { return Control<QAbstractButton>(dlg, id)->isChecked(); }
};

TEST_F(AutoRecordDialogTest, FreshSettingsShowDefaultsAndCancelChangesNothing)
{
    CollectSettings before = view;
    ModalScript script({[&](QDialog* dlg) {
        EXPECT_EQ(Text(dlg, kIdcCollectLevel), "0");
        EXPECT_EQ(Text(dlg, kIdcContinuousMs), "0");
        EXPECT_EQ(Text(dlg, kIdcOutputFolder), "");
        EXPECT_EQ(Text(dlg, kIdcPlayCount), "0");
        EXPECT_EQ(Text(dlg, kIdcAmpFactor), "1");
        EXPECT_EQ(Text(dlg, kIdcBandLow), "0");
        EXPECT_EQ(Text(dlg, kIdcBandHigh), "22050");
        EXPECT_EQ(Text(dlg, kIdcIntegHigh), "100");
        EXPECT_EQ(Text(dlg, kIdcPointsHigh), "100");
        EXPECT_EQ(Text(dlg, kIdcStdDevHigh), "0");
        // Play count 0: the amplification group is off and neither radio is checked.
        for (int id : {kIdcAlwaysMax, kIdcByFactor, kIdcAmpFactor, kIdcAmpFactorLabel})
            EXPECT_FALSE(IsEnabled(dlg, id)) << id;
        EXPECT_FALSE(IsChecked(dlg, kIdcAlwaysMax));
        EXPECT_FALSE(IsChecked(dlg, kIdcByFactor));
        auto* spin = Control<ui::UpDownControl>(dlg, kIdcCollectLevelSpin);
        EXPECT_EQ(spin->Max(), 32767);
        spin->Step(-1);  // the spin stops at its lower end
        EXPECT_EQ(Text(dlg, kIdcCollectLevel), "0");
        Type(dlg, kIdcCollectLevel, "500");
        Type(dlg, kIdcBandLow, "100");
        Click(dlg, ui::kIdCancel);
    }});
    EXPECT_FALSE(ui::RunAutoRecordDialog(view, autoStartLevel, 16, 44100, chooser, sink, nullptr));
    EXPECT_EQ(script.Remaining(), 0u);
    EXPECT_EQ(view, before);
    EXPECT_EQ(autoStartLevel, 30);
}

TEST_F(AutoRecordDialogTest, OkCopiesBackWithTheLevelAndBandEdgeRules)
{
    ModalScript script({[&](QDialog* dlg) {
                            Type(dlg, kIdcCollectLevel, "1200");
                            Type(dlg, kIdcContinuousMs, "350");
                            Type(dlg, kIdcIntegLow, "12.5");
                            Type(dlg, kIdcOutputFolder, "/tmp/events");
                            Click(dlg, kIdcSaveRejected);
                            Click(dlg, ui::kIdOk);  // band upper edge left at rate / 2
                        },
                        [&](QDialog* dlg) {
                            EXPECT_EQ(Text(dlg, kIdcBandHigh), "22050");
                            Type(dlg, kIdcBandHigh, "8000");
                            Click(dlg, ui::kIdOk);
                        }});
    ASSERT_TRUE(ui::RunAutoRecordDialog(view, autoStartLevel, 16, 44100, chooser, sink, nullptr));
    EXPECT_EQ(view.m_nCollectLevel, 1200);
    EXPECT_EQ(view.m_nContinuousMs, 350);
    EXPECT_FLOAT_EQ(view.m_fIntegLow, 12.5f);
    EXPECT_EQ(view.m_strOutputFolder, "/tmp/events");
    EXPECT_EQ(view.m_bSaveRejected, 1);
    EXPECT_EQ(view.m_nBandHighHz, 0) << "half the rate keeps the view's 0";
    EXPECT_EQ(autoStartLevel, 0) << "a collection level switches the automatic start off";
    ASSERT_TRUE(ui::RunAutoRecordDialog(view, autoStartLevel, 16, 44100, chooser, sink, nullptr));
    EXPECT_EQ(view.m_nBandHighHz, 8000);
    EXPECT_TRUE(sink.m_messages.empty());
}

TEST_F(AutoRecordDialogTest, FirstFailingControlInExchangeOrderIsReportedFocusedAndSelected)
{
    CAutoRecord dlg(chooser, sink);
    dlg.m_form.CopyFromView(view, 16, 44100);
    ShowActive(&dlg);
    // Bad texts in 1007 (late in the order), 1010 and 1008 (first): 1008 is reported.
    Type(&dlg, kIdcCollectLevel, "x");
    Paste(&dlg, kIdcPlayCount, "1001");  // typing would replace each digit by the next
    Type(&dlg, kIdcOutputFolder, "/new");
    Type(&dlg, kIdcContinuousMs, "abc");
    Click(&dlg, ui::kIdOk);
    ASSERT_EQ(sink.m_messages, std::vector<std::string>{"整数を入力してください。"});
    ExpectFocusedAndSelected(&dlg, kIdcContinuousMs);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.m_form.m_strOutputFolder, "") << "nothing after the failing control was taken";

    // A range failure stores the value first; the members before it keep their new values.
    Type(&dlg, kIdcContinuousMs, "10001");
    Click(&dlg, ui::kIdOk);
    EXPECT_EQ(sink.m_messages.back(), "0 から 10000 までの整数を入力してください。");
    ExpectFocusedAndSelected(&dlg, kIdcContinuousMs);
    Type(&dlg, kIdcContinuousMs, "10000");
    Click(&dlg, ui::kIdOk);
    EXPECT_EQ(sink.m_messages.back(), "0 から 1000 までの整数を入力してください。");
    ExpectFocusedAndSelected(&dlg, kIdcPlayCount);
    EXPECT_EQ(dlg.m_form.m_nContinuousMs, 10000);
    EXPECT_EQ(dlg.m_form.m_strOutputFolder, "/new");
    EXPECT_EQ(dlg.m_form.m_nPlayCount, 1001);

    Paste(&dlg, kIdcPlayCount, "2");
    Type(&dlg, kIdcPointsLow, "1,5");
    Click(&dlg, ui::kIdOk);
    EXPECT_EQ(sink.m_messages.back(), "数字を入力してください。");
    ExpectFocusedAndSelected(&dlg, kIdcPointsLow);
    Type(&dlg, kIdcPointsLow, "1.5");
    Click(&dlg, ui::kIdOk);
    EXPECT_EQ(sink.m_messages.back(), "整数を入力してください。");
    ExpectFocusedAndSelected(&dlg, kIdcCollectLevel);
    EXPECT_EQ(sink.m_messages.size(), 5u);
    Type(&dlg, kIdcCollectLevel, "7");
    Click(&dlg, ui::kIdOk);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(sink.m_messages.size(), 5u);
}

TEST_F(AutoRecordDialogTest, RealsShowSixSignificantDigits)
{
    view.m_fIntegLow = 0.1f;
    view.m_fIntegHigh = 123456789.0f;
    view.m_fStdDevLow = 2.5e-7f;
    CAutoRecord dlg(chooser, sink);
    dlg.m_form.CopyFromView(view, 16, 48000);
    dlg.show();
    EXPECT_EQ(Text(&dlg, kIdcIntegLow), "0.1");
    EXPECT_EQ(Text(&dlg, kIdcIntegHigh), "1.23457e+08");
    EXPECT_EQ(Text(&dlg, kIdcStdDevLow), "2.5e-07");
    EXPECT_EQ(Text(&dlg, kIdcBandHigh), "24000");
}

TEST_F(AutoRecordDialogTest, PlayCountRuleAndAmplificationRadios)
{
    view.m_nPlayCount = 2;
    view.m_bAlwaysMax = 0;
    CAutoRecord dlg(chooser, sink);
    dlg.m_form.CopyFromView(view, 16, 44100);
    ShowActive(&dlg);
    EXPECT_TRUE(IsChecked(&dlg, kIdcByFactor));
    EXPECT_TRUE(IsEnabled(&dlg, kIdcAmpFactor));

    Type(&dlg, kIdcPlayCount, "0");
    for (int id : {kIdcAlwaysMax, kIdcByFactor, kIdcAmpFactor, kIdcAmpFactorLabel})
        EXPECT_FALSE(IsEnabled(&dlg, id)) << id;
    // Every change selects the whole text, so the next key replaces it.
    EXPECT_EQ(Control<QLineEdit>(&dlg, kIdcPlayCount)->selectedText(), "0");
    QTest::keyClicks(Control(&dlg, kIdcPlayCount), "1");
    EXPECT_EQ(Text(&dlg, kIdcPlayCount), "1");
    EXPECT_TRUE(IsEnabled(&dlg, kIdcAlwaysMax));
    EXPECT_TRUE(IsChecked(&dlg, kIdcByFactor)) << "the radio of m_bAlwaysMax";
    EXPECT_TRUE(IsEnabled(&dlg, kIdcAmpFactor));

    Click(&dlg, kIdcAlwaysMax);
    EXPECT_FALSE(IsEnabled(&dlg, kIdcAmpFactor));
    EXPECT_FALSE(IsEnabled(&dlg, kIdcAmpFactorLabel));
    Type(&dlg, kIdcPlayCount, "0");
    Type(&dlg, kIdcPlayCount, "3");
    EXPECT_TRUE(IsChecked(&dlg, kIdcAlwaysMax));
    EXPECT_FALSE(IsEnabled(&dlg, kIdcAmpFactor));
    Click(&dlg, ui::kIdOk);
    EXPECT_EQ(dlg.m_form.m_bAlwaysMax, 1);
    EXPECT_EQ(dlg.m_form.m_nPlayCount, 3);
}

TEST_F(AutoRecordDialogTest, EightBitTakeLowersBothLevelsTo127)
{
    view.m_nCollectLevel = 1000;
    view.m_nPlayLevel = 300;
    ModalScript script({[&](QDialog* dlg) {
        EXPECT_EQ(Text(dlg, kIdcCollectLevel), "127");
        EXPECT_EQ(Text(dlg, kIdcPlayLevel), "127");
        auto* spin = Control<ui::UpDownControl>(dlg, kIdcPlayLevelSpin);
        EXPECT_EQ(spin->Max(), 127);
        spin->Step(1);  // the spin stops at its upper end
        EXPECT_EQ(Text(dlg, kIdcPlayLevel), "127");
        spin->Step(-1);
        EXPECT_EQ(Text(dlg, kIdcPlayLevel), "126");
        Click(dlg, ui::kIdOk);
    }});
    ASSERT_TRUE(ui::RunAutoRecordDialog(view, autoStartLevel, 8, 22050, chooser, sink, nullptr));
    EXPECT_EQ(view.m_nCollectLevel, 127);
    EXPECT_EQ(view.m_nPlayLevel, 126);
}

TEST_F(AutoRecordDialogTest, SettingsSavedThenLoadedFromTheDialogAndFolderBrowser)
{
    TempDir dir;
    const std::string path = dir.File("field.ars");
    CAutoRecord dlg(chooser, sink);
    dlg.m_form.CopyFromView(view, 16, 44100);
    ShowActive(&dlg);
    chooser.m_answers = {"/data/rec"};
    Click(&dlg, kIdcBrowseFolder);
    EXPECT_EQ(Text(&dlg, kIdcOutputFolder), "/data/rec");
    EXPECT_EQ(chooser.m_folderTitles, std::vector<std::string>{"Waveファイルを作成するフォルダの選択"});

    Type(&dlg, kIdcCollectLevel, "900");
    Type(&dlg, kIdcPlayCount, "4");
    Click(&dlg, kIdcByFactor);
    Type(&dlg, kIdcAmpFactor, "3");
    Type(&dlg, kIdcStdDevHigh, "45.25");
    chooser.m_answers = {path};
    Click(&dlg, kIdcSaveSettings);
    ASSERT_EQ(chooser.m_asked.size(), 1u);
    EXPECT_STREQ(chooser.m_asked[0].m_pszTitle, "自動集音設定の保存");
    EXPECT_FALSE(chooser.m_asked[0].m_bOpen);
    EXPECT_EQ(ReadFileBytes(path).size(), 332u);

    // Edit everything away, then load: the saved values come back with their enable state.
    Type(&dlg, kIdcCollectLevel, "1");
    Type(&dlg, kIdcPlayCount, "0");
    Type(&dlg, kIdcOutputFolder, "/elsewhere");
    chooser.m_answers = {path};
    Click(&dlg, kIdcLoadSettings);
    EXPECT_STREQ(chooser.m_asked[1].m_pszTitle, "自動集音設定の読込み");
    EXPECT_TRUE(chooser.m_asked[1].m_bOpen);
    EXPECT_EQ(Text(&dlg, kIdcCollectLevel), "900");
    EXPECT_EQ(Text(&dlg, kIdcPlayCount), "4");
    EXPECT_EQ(Text(&dlg, kIdcOutputFolder), "/data/rec");
    EXPECT_EQ(Text(&dlg, kIdcAmpFactor), "3");
    EXPECT_EQ(Text(&dlg, kIdcStdDevHigh), "45.25");
    EXPECT_TRUE(IsChecked(&dlg, kIdcByFactor));
    EXPECT_TRUE(IsEnabled(&dlg, kIdcAmpFactor));

    // A cancelled load refreshes from the members too, discarding unsaved edits.
    Type(&dlg, kIdcCollectLevel, "5");
    Type(&dlg, kIdcPlayCount, "0");
    Click(&dlg, kIdcLoadSettings);  // no answer: cancelled
    EXPECT_EQ(Text(&dlg, kIdcCollectLevel), "900");
    EXPECT_TRUE(IsEnabled(&dlg, kIdcByFactor));

    // A file that cannot be read: message, controls left as they are.
    Type(&dlg, kIdcCollectLevel, "6");
    chooser.m_answers = {dir.File("missing.ars")};
    Click(&dlg, kIdcLoadSettings);
    EXPECT_EQ(sink.m_messages, std::vector<std::string>{"ファイルの読み込みに失敗しました。"});
    EXPECT_EQ(Text(&dlg, kIdcCollectLevel), "6");
    Click(&dlg, ui::kIdCancel);
}

TEST_F(AutoRecordDialogTest, PreTriggerIsKeptInTheSettingsAndShownAgainAfterARestart)
{
    QSettings().remove(QString::fromLatin1(ui::kPreTriggerMsKey));
    ModalScript script({[&](QDialog* dlg) {
                            EXPECT_EQ(Text(dlg, kIdcPreTriggerMs), "0");
                            Type(dlg, kIdcPreTriggerMs, "5001");
                            Click(dlg, ui::kIdOk);
                            EXPECT_EQ(sink.m_messages.back(), "0 から 5000 までの整数を入力してください。");
                            EXPECT_TRUE(dlg->isVisible());
                            Type(dlg, kIdcPreTriggerMs, "250");
                            Click(dlg, ui::kIdOk);
                        },
                        [&](QDialog* dlg) {
                            EXPECT_EQ(Text(dlg, kIdcPreTriggerMs), "250");
                            Type(dlg, kIdcPreTriggerMs, "4000");
                            Click(dlg, ui::kIdCancel);
                        }});
    ASSERT_TRUE(ui::RunAutoRecordDialog(view, autoStartLevel, 16, 44100, chooser, sink, nullptr));
    EXPECT_EQ(view.m_nPreTriggerMs, 250);
    EXPECT_EQ(QSettings().value(QString::fromLatin1(ui::kPreTriggerMsKey)).toInt(), 250);

    // The next start reads it back; a cancelled dialog keeps neither the view's nor the stored one.
    CollectSettings restarted;
    restarted.m_nPreTriggerMs = ui::ReadPreTriggerMs(QSettings());
    EXPECT_FALSE(ui::RunAutoRecordDialog(restarted, autoStartLevel, 16, 44100, chooser, sink, nullptr));
    EXPECT_EQ(script.Remaining(), 0u);
    EXPECT_EQ(restarted.m_nPreTriggerMs, 250);
    EXPECT_EQ(QSettings().value(QString::fromLatin1(ui::kPreTriggerMsKey)).toInt(), 250);
    QSettings().remove(QString::fromLatin1(ui::kPreTriggerMsKey));
}

TEST_F(AutoRecordDialogTest, PreTriggerRowLiesInsideTheDialogClearOfEveryOtherControl)
{
    CAutoRecord dlg(chooser, sink);
    dlg.show();
    const QRect edit = Control(&dlg, kIdcPreTriggerMs)->geometry();
    std::vector<QWidget*> row, others;  // the edit and its two labels; everything else
    for (QWidget* w : dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        (w->geometry().top() >= edit.top() - 4 && w->geometry().top() < edit.bottom() ? row : others).push_back(w);
    ASSERT_EQ(row.size(), 3u);
    for (QWidget* mine : row) {
        EXPECT_TRUE(dlg.rect().contains(mine->geometry()));
        if (qobject_cast<QLabel*>(mine)) {
            EXPECT_LE(mine->sizeHint().width(), mine->width()) << "label cut off";
        }
        for (QWidget* other : others)
            EXPECT_FALSE(other->isVisible() && other->geometry().intersects(mine->geometry())) << ui::ControlIdOf(other);
    }
}

}  // namespace
}  // namespace tonmira::test
