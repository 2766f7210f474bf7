// The dialogs the transport opens (recording settings, balance, speed) driven through the
// transport's commands, and the format prompt of a text file in File > Open.
#include <QComboBox>
#include <QSlider>
#include <cstring>

#include "DialogTestUtil.h"
#include "TakeFactory.h"
#include "TestUtil.h"
#include "audio/SimulatedBackend.h"
#include "audio/Transport.h"
#include "audio/TransportHost.h"
#include "doc/TonmiraDoc.h"
#include "dsp/WindowAnalysis.h"
#include "ui/dialogs/CBalanceDlg.h"
#include "ui/dialogs/CRecordSetupDlg.h"
#include "ui/dialogs/CRequireDlg.h"

namespace tonmira::test {
namespace {

using namespace ui;

// The view's side of the transport as far as dialogs go: the real dialogs, messages kept.
class DialogHost : public TransportHost {
public:
    void Message(const std::string& text) override { m_messages.push_back(text); }
    void SetTimer(int, UINT) override {}
    void KillTimer(int) override {}
    bool RunRecordSetupDialog(RecordSetupValues& values) { return ui::RunRecordSetupDialog(values, *this, nullptr); }
    bool RunBalanceDialog(int& balance) { return ui::RunBalanceDialog(balance, *this, nullptr); }
    bool RunSpeedDialog(int& speed) { return ui::RunSpeedDialog(speed, *this, nullptr); }
    std::vector<std::string> m_messages;
};

struct TransportDialogsTest : ::testing::Test {
    SimulatedBackend backend;
    DialogHost host;
    CTonmiraDoc doc{host};
    WindowAnalysis analysis;
    CTransport transport{doc, analysis, host, backend};

    TransportDialogsTest()
    {
        doc.m_header.nSamplesPerSec = 44100;
        doc.m_header.wBitsPerSample = 16;
        doc.m_header.nChannels = 2;
    }

    // The commands as the window runs them: its dialog, then the transport.
    void OnRecordSetup()
    {
        transport.OnRecordSetup([this](RecordSetupValues& values) { return host.RunRecordSetupDialog(values); });
    }
    void OnBalance()
    {
        int balance = doc.m_nBalance;
        if (host.RunBalanceDialog(balance))
            transport.ApplyBalance(balance);
    }
    void OnSpeed()
    {
        int speed = transport.Speed();
        if (host.RunSpeedDialog(speed))
            transport.SetSpeed(speed);
    }

    // A stereo take whose left channel is 1000 and right channel -3000 throughout.
    void LoadStereoTake(UINT frames)
    {
        std::vector<std::int16_t> samples;
        for (UINT i = 0; i < frames; ++i)
            samples.insert(samples.end(), {1000, -3000});
        LoadTake16(doc, samples, 2);
    }
    std::int16_t Mono(UINT i) const { return reinterpret_cast<const std::int16_t*>(doc.m_pMono)[i]; }
};

TEST_F(TransportDialogsTest, RecordSettingsRefuseAFormatTheDeviceLacksAndReopen)
{
    // The device has everything but 48000 Hz.
    transport.SetInputFormats(0x1F0FFF);
    transport.SetAutoStartLevel(12);
    ModalScript script(
        {[&](QDialog* dlg) {
             EXPECT_EQ(dlg->windowTitle(), "録音設定");
             EXPECT_EQ(Control<QComboBox>(dlg, kIdcRecordRate)->currentText(), "44100");
             EXPECT_TRUE(Control<QAbstractButton>(dlg, kIdcRecord16Bit)->isChecked());
             EXPECT_TRUE(Control<QAbstractButton>(dlg, kIdcRecordStereo)->isChecked());
             EXPECT_TRUE(Control(dlg, kIdcRecordRate)->isEnabled()) << "no take: the format may change";
             auto* level = Control<QSlider>(dlg, kIdcRecordLevel);
             EXPECT_EQ(level->value(), 12);
             EXPECT_EQ(level->maximum(), 50);
             Control<QComboBox>(dlg, kIdcRecordRate)->setCurrentIndex(1);  // 48000
             Click(dlg, kIdcRecordMono);
             level->setValue(20);
             Click(dlg, kIdOk);
         },
         [&](QDialog* dlg) {
             EXPECT_EQ(host.m_messages, std::vector<std::string>{"選択した設定は使用できません！"});
             // Reopened with the document's unchanged format.
             EXPECT_EQ(Control<QComboBox>(dlg, kIdcRecordRate)->currentIndex(), 2);
             EXPECT_TRUE(Control<QAbstractButton>(dlg, kIdcRecordStereo)->isChecked());
             EXPECT_EQ(Control<QSlider>(dlg, kIdcRecordLevel)->value(), 12);
             Control<QComboBox>(dlg, kIdcRecordRate)->setCurrentIndex(3);  // 22050
             Click(dlg, kIdcRecord8Bit);
             Click(dlg, kIdcRecordMono);
             Click(dlg, kIdOk);
         }});
    OnRecordSetup();
    EXPECT_EQ(script.Remaining(), 0u);
    EXPECT_EQ(doc.m_header.nSamplesPerSec, 22050u);
    EXPECT_EQ(doc.m_header.wBitsPerSample, 8);
    EXPECT_EQ(doc.m_header.nChannels, 1);
    EXPECT_EQ(analysis.m_nFftSize, 2048);
    EXPECT_EQ(host.m_messages.size(), 1u);

    // With a take the format is fixed; Cancel changes nothing.
    LoadStereoTake(100);
    ModalScript cancel({[&](QDialog* dlg) {
        for (int id : {kIdcRecordRate, kIdcRecord16Bit, kIdcRecord8Bit, kIdcRecordStereo, kIdcRecordMono})
            EXPECT_FALSE(Control(dlg, id)->isEnabled()) << id;
        EXPECT_TRUE(Control(dlg, kIdcRecordLevel)->isEnabled());
        Control<QSlider>(dlg, kIdcRecordLevel)->setValue(40);
        Click(dlg, kIdCancel);
    }});
    OnRecordSetup();
    EXPECT_EQ(cancel.Remaining(), 0u);
    EXPECT_EQ(transport.AutoStartLevel(), 12);
}

TEST_F(TransportDialogsTest, BalanceRebuildsTheMonoMixAndSpeedIsKeptOnOkOnly)
{
    LoadStereoTake(64);
    EXPECT_EQ(Mono(0), -1000);  // (1000 - 3000) / 2
    transport.SetSpeed(-3);
    // Each dialog: its range and ticks, moved to one end by key, first cancelled, then confirmed.
    auto toEnd = [](int id, int value, int min, int max, int tick, Qt::Key key, int button) {
        return [=](QDialog* dlg) {
            auto* slider = Control<QSlider>(dlg, id);
            EXPECT_EQ(slider->value(), value);
            EXPECT_EQ(slider->minimum(), min);
            EXPECT_EQ(slider->maximum(), max);
            EXPECT_EQ(slider->tickInterval(), tick);
            QTest::keyClick(slider, key);
            Click(dlg, button);
        };
    };
    ModalScript script({toEnd(kIdcBalanceSlider, 50, 0, 100, 10, Qt::Key_Home, kIdCancel),
                        toEnd(kIdcBalanceSlider, 50, 0, 100, 10, Qt::Key_Home, kIdOk),
                        toEnd(kIdcSpeedSlider, -3, -12, 12, 1, Qt::Key_End, kIdCancel),
                        toEnd(kIdcSpeedSlider, -3, -12, 12, 1, Qt::Key_End, kIdOk)});
    OnBalance();
    EXPECT_EQ(doc.m_nBalance, 50);
    EXPECT_EQ(Mono(0), -1000);
    OnBalance();
    EXPECT_EQ(doc.m_nBalance, 0);
    EXPECT_EQ(Mono(0), 1000) << "left channel only";
    OnSpeed();
    EXPECT_EQ(transport.Speed(), -3);
    OnSpeed();
    EXPECT_EQ(transport.Speed(), 12);
    EXPECT_EQ(script.Remaining(), 0u);
}

TEST_F(TransportDialogsTest, TextFileAsksForItsFormatWithValidation)
{
    TempDir dir;
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += std::to_string(i * 10 - 100) + "\r\n";
    WriteFileBytes(dir.File("take.txt"), text);
    DialogFormatPrompt prompt(host, nullptr);
    doc.m_pFormatPrompt = &prompt;

    ModalScript script({[&](QDialog* dlg) { Click(dlg, kIdCancel); },
                        [&](QDialog* dlg) {
                            EXPECT_EQ(dlg->windowTitle(), "条件設定");
                            EXPECT_EQ(Text(dlg, kIdcRequireRate), "44100");
                            EXPECT_TRUE(Control<QAbstractButton>(dlg, kIdcRequire16Bit)->isChecked());
                            Type(dlg, kIdcRequireRate, "8k");
                            Click(dlg, kIdOk);
                            EXPECT_EQ(host.m_messages.back(), "正の整数を入力してください。");
                            ExpectFocusedAndSelected(dlg, kIdcRequireRate);
                            Type(dlg, kIdcRequireRate, "1000001");
                            Click(dlg, kIdOk);
                            EXPECT_EQ(host.m_messages.back(), "1 から 1000000 までの整数を入力してください。");
                            ExpectFocusedAndSelected(dlg, kIdcRequireRate);
                            EXPECT_TRUE(dlg->isVisible());
                            Type(dlg, kIdcRequireRate, "8000");
                            Click(dlg, kIdcRequire8Bit);
                            Click(dlg, kIdOk);
                        }});
    EXPECT_FALSE(doc.OnOpenDocument(dir.File("take.txt")));
    EXPECT_FALSE(doc.HasTake());
    const std::size_t messagesAfterCancel = host.m_messages.size();
    ASSERT_TRUE(doc.OnOpenDocument(dir.File("take.txt")));
    EXPECT_EQ(script.Remaining(), 0u);
    EXPECT_EQ(host.m_messages.size(), messagesAfterCancel + 2);
    EXPECT_EQ(doc.m_header.nSamplesPerSec, 8000u);
    EXPECT_EQ(doc.m_header.wBitsPerSample, 8);
    EXPECT_EQ(doc.m_nSamples, 20u);
    EXPECT_EQ(doc.m_pData[0], 128 - 100);
}

}  // namespace
}  // namespace tonmira::test
