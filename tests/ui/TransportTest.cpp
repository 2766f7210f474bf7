// Recording, playback and one collection event through the window, on the simulated device
// moved on by the test while the Qt event loop runs the transport's timer.
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>

#include "UiFixture.h"
#include "ui/QtHost.h"
#include "ui/dialogs/UpDownControl.h"

namespace tonmira::test {
namespace {

class TransportTest : public UiFixture {
protected:
    // Every 10 ms of real time the device moves on by `speedup` x 10 ms, the view repaints (so
    // drawing overlaps the worker) and the position text is noted.
    void StartDevice(int speedup = 2)
    {
        m_pump.setInterval(10);
        QObject::connect(&m_pump, &QTimer::timeout, [this, speedup] {
            backend.AdvanceTime(10000u * speedup);
            frame->View().repaint();
            const QString text = Position()->text();
            if (m_texts.isEmpty() || m_texts.back() != text)
                m_texts << text;
            m_sliderPositions.insert(Slider()->value());
        });
        m_pump.start();
    }
    QLineEdit* Position() { return qobject_cast<QLineEdit*>(frame->View().Control(1018)); }
    QSlider* Slider() { return qobject_cast<QSlider*>(frame->View().Control(1000)); }

    QTimer m_pump;
    QStringList m_texts;
    std::set<int> m_sliderPositions;
};

TEST_F(TransportTest, PlaybackMovesPositionTextAndSlider)
{
    ASSERT_TRUE(frame->OpenFile(WriteWav("one.wav", SineSamples(44100, 2, 440, 44100, 9000))));
    StartDevice(4);
    ASSERT_TRUE(frame->Dispatch(view::kCmdPlay));
    EXPECT_EQ(Doc().m_nState, TransportState::Playing);
    EXPECT_EQ(frame->View().Host().TimerInterval(1), 100);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Doc().m_nState == TransportState::Idle; }, 5000));
    // The position ran through the take and returned to the start when the last buffer played.
    // Every shown position is a whole number of 4096-frame buffers into the take.
    EXPECT_GE(m_texts.size(), 3) << m_texts.join(' ').toStdString();
    for (const QString& text : m_texts) {
        const double seconds = text.mid(3).toDouble();
        const double buffers = seconds * 44100 / 4096;
        EXPECT_NEAR(buffers, std::round(buffers), 0.01) << text.toStdString();
    }
    EXPECT_GE(m_sliderPositions.size(), 3u);
    EXPECT_EQ(Position()->text(), "00:00.000");
    EXPECT_EQ(Slider()->value(), 0);
    EXPECT_FALSE(frame->View().Host().IsTimerArmed(1));
    EXPECT_GE(backend.FramesPlayed(), 44100u);
    EXPECT_TRUE(frame->Action(view::kCmdStop)->isChecked());
}

TEST_F(TransportTest, RecordingAppendsWhatTheDeviceCaptured)
{
    std::string input = SineSamples(44100 * 2, 2, 440, 44100, 9000);
    backend.SetInputTake(std::vector<BYTE>(input.begin(), input.end()));
    // A new document records in the input device's best format; this test uses 44100 Hz stereo.
    Doc().m_header.nSamplesPerSec = 44100;
    Doc().m_header.wBitsPerSample = 16;
    Doc().m_header.nChannels = 2;
    frame->View().OnInitialUpdate();
    StartDevice(2);
    ASSERT_TRUE(frame->Dispatch(view::kCmdRecord));
    EXPECT_EQ(Doc().m_nState, TransportState::Recording);
    EXPECT_EQ(frame->View().Host().TimerInterval(1), 150);
    EXPECT_FALSE(frame->View().Control(1001)->isEnabled());  // no size change while recording
    ASSERT_TRUE(QTest::qWaitFor([&] { return Core().m_transport.RecordedFrames() >= 4 * 4096; }, 5000));
    EXPECT_TRUE(frame->Action(view::kCmdRecord)->isChecked());
    EXPECT_NE(Position()->text(), "00:00.000");
    // The input level in the status bar: a sine of 9000 peaks at -11.2 dBFS, its RMS 3 dB lower.
    auto* meter = frame->statusBar()->findChild<QLabel*>(QStringLiteral("inputLevel"));
    ASSERT_TRUE(meter);
    EXPECT_TRUE(meter->isVisible());
    EXPECT_EQ(meter->text(), QStringLiteral("L ピーク -11.2  RMS -14.2 dBFS | R ピーク -11.2  RMS -14.2 dBFS"));

    QTest::keyClick(frame.get(), Qt::Key_Space);
    EXPECT_EQ(Doc().m_nState, TransportState::Idle);
    EXPECT_FALSE(meter->isVisible()) << "no level once stopped";
    ASSERT_TRUE(Doc().HasTake());
    EXPECT_GE(Doc().m_nSamples, 4u * 4096);
    EXPECT_EQ(Doc().m_nSamples % 4096, 0u);
    EXPECT_TRUE(Doc().IsModified());
    // The first frames are the device's first frames.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Doc().m_pData), 4096), input.substr(0, 4096));
    EXPECT_TRUE(frame->View().Control(1001)->isEnabled());
    EXPECT_EQ(Slider()->maximum(), static_cast<int>(Doc().m_nSamples - 4096));
}

TEST_F(TransportTest, CollectionEventThroughTheWindowKeepsTheTakeShown)
{
    // 11025 Hz mono: 0.3 s of silence, 0.4 s of tone, then silence.
    constexpr int kRate = 11025;
    std::string input(static_cast<std::size_t>(kRate) * 2 * 3 / 10, '\0');
    input += SineSamples(kRate * 4 / 10, 1, 1000, kRate, 12000);
    input += std::string(static_cast<std::size_t>(kRate) * 2 * 6, '\0');
    backend.SetInputTake(std::vector<BYTE>(input.begin(), input.end()));
    Doc().m_header.nSamplesPerSec = kRate;
    Doc().m_header.wBitsPerSample = 16;
    Doc().m_header.nChannels = 1;
    frame->View().OnInitialUpdate();

    CollectSettings& settings = Core().m_settings;
    settings.m_nCollectLevel = 1000;
    settings.m_nContinuousMs = 100;
    settings.m_nPlayCount = 1;  // the replay runs on the UI thread after the worker is done
    settings.m_strOutputFolder = dir.Path().string();
    Core().ApplyCollectSettings();

    int processed = 0;
    bool takeShownDuringEvent = false;
    Core().m_session.Changes().Subscribe([&](ChangeSet changes) {
        if (changes & kChangeEventDone) {
            ++processed;
            // The window still has the recorded take while the event is being logged.
            takeShownDuringEvent = Doc().m_pMono != nullptr && Doc().m_nSamples > 0;
        }
    });
    StartDevice(2);
    ASSERT_TRUE(frame->Dispatch(view::kCmdRecord));
    ASSERT_TRUE(Doc().m_bPause);  // waiting for the level
    ASSERT_TRUE(QTest::qWaitFor([&] { return processed > 0; }, 10000));
    EXPECT_TRUE(takeShownDuringEvent);
    // After the replay the document is emptied and the next take records, waiting.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Core().IsCollecting(); }, 5000));
    EXPECT_EQ(Doc().m_nState, TransportState::Recording);
    EXPECT_FALSE(Doc().IsModified());

    frame->View().StopForClose();
    EXPECT_EQ(Doc().m_nState, TransportState::Idle);
    const QStringList files =
        QDir(QString::fromStdString(dir.Path().string())).entryList(QStringList{"*.WAV"}, QDir::Files);
    ASSERT_EQ(files.size(), 1) << files.join(' ').toStdString();
    EXPECT_TRUE(files[0].startsWith("20240305140709")) << files[0].toStdString();
    EXPECT_TRUE(sink.m_messages.empty());
}

}  // namespace
}  // namespace tonmira::test

namespace tonmira::test {
namespace {

TEST_F(TransportTest, FftSizeChangeWhilePlayingRestartsFromThePosition)
{
    ASSERT_TRUE(frame->OpenFile(WriteWav("two.wav", SineSamples(88200, 1, 440, 44100, 9000), 1)));
    StartDevice(1);
    ASSERT_TRUE(frame->Dispatch(view::kCmdPlay));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Doc().m_nPosition >= 3 * 4096; }, 5000));
    auto* combo = qobject_cast<QComboBox*>(frame->View().Control(1001));

    // 1024: playback goes on with the new buffers, from where it was.
    const UINT before = Doc().m_nPosition;
    combo->setCurrentIndex(6);
    emit combo->activated(6);
    EXPECT_EQ(Doc().m_nState, TransportState::Playing);
    EXPECT_GE(Doc().m_nPosition, before) << "from where it was";
    EXPECT_LT(Doc().m_nPosition, before + 4096);
    EXPECT_EQ(Core().m_transport.Device().m_nBufferLen, 1024u);

    // 131072 is more than the take holds: the message, playback stopped, the combo put back.
    combo->setCurrentIndex(13);
    emit combo->activated(13);
    EXPECT_EQ(Doc().m_nState, TransportState::Idle);
    ASSERT_EQ(sink.m_messages.size(), 1u);
    EXPECT_EQ(sink.m_messages[0], "データ数が足りません! データ数 = 88200");
    EXPECT_EQ(combo->currentText(), "1024");
    EXPECT_EQ(Core().m_analysis.m_nFftSize, 1024);
}

// A larger N shortens the slider: a position past its new end is pulled back, and the time
// text says where it now is.
TEST_F(TransportTest, FftSizeChangePullingThePositionBackRewritesItsText)
{
    ASSERT_TRUE(frame->OpenFile(WriteWav("three.wav", SineSamples(132300, 1, 440, 44100, 9000), 1)));
    ASSERT_TRUE(frame->Dispatch(view::kCmdToEnd));
    ASSERT_EQ(Position()->text(), "00:02.907");
    auto* combo = qobject_cast<QComboBox*>(frame->View().Control(1001));
    combo->setCurrentIndex(13);
    emit combo->activated(13);
    EXPECT_EQ(Slider()->value(), 1228);
    EXPECT_EQ(Position()->text(), "00:00.027");
}

TEST_F(TransportTest, ClosingWhileRecordingKeepsTheTake)
{
    std::string input = SineSamples(44100 * 2, 1, 440, 44100, 9000);
    backend.SetInputTake(std::vector<BYTE>(input.begin(), input.end()));
    Doc().m_header.nSamplesPerSec = 44100;
    Doc().m_header.wBitsPerSample = 16;
    Doc().m_header.nChannels = 1;
    frame->View().OnInitialUpdate();
    StartDevice(2);
    ASSERT_TRUE(frame->Dispatch(view::kCmdRecord));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Core().m_transport.RecordedFrames() >= 3 * 4096; }, 5000));

    // Closing stops first (the recording becomes the take), then asks; Yes saves it.
    prompts.m_answer = view::SaveAnswer::Yes;
    prompts.m_savePath = dir.File("kept.wav");
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(Doc().m_nState, TransportState::Idle);
    EXPECT_FALSE(backend.IsRunning(WaveDirection::Input));
    const std::string saved = ReadFileBytes(dir.File("kept.wav"));
    ASSERT_GE(saved.size(), 44u + 3 * 4096 * 2);
    EXPECT_EQ(saved.substr(44, 8192), input.substr(0, 8192));
}

TEST_F(TransportTest, FrequencySpinsKeepTheRangeRising)
{
    ASSERT_TRUE(frame->OpenFile(WriteWav("r.wav", SineSamples(10000, 1, 440, 44100, 9000), 1)));
    auto* maxSpin = frame->View().findChild<ui::UpDownControl*>("idc1060");
    auto* minSpin = frame->View().findChild<ui::UpDownControl*>("idc1059");
    auto* maxEdit = qobject_cast<QLineEdit*>(frame->View().Control(1002));
    auto* minEdit = qobject_cast<QLineEdit*>(frame->View().Control(1003));
    ASSERT_TRUE(maxSpin && minSpin);
    maxSpin->Step(100);  // past rate / 2
    EXPECT_EQ(Core().m_display.m_nMaxFreq, 22050);
    EXPECT_EQ(maxEdit->text(), "22050");
    maxSpin->Step(-50);
    EXPECT_EQ(maxEdit->text(), "22000");
    EXPECT_EQ(minSpin->Max(), 21999);
    minSpin->Step(-1);
    EXPECT_EQ(minEdit->text(), "0");
    minSpin->Step(100);
    EXPECT_EQ(minEdit->text(), "100");
    QTest::keyClick(minEdit, Qt::Key_Up);  // the arrow keys step the edit's spin
    EXPECT_EQ(minEdit->text(), "101");
    QTest::keyClick(minEdit, Qt::Key_Down);
    EXPECT_EQ(minEdit->text(), "100");

    // Typing a maximum below the minimum and leaving the edit: the message, focus back.
    maxEdit->setFocus();
    maxEdit->setText("50");
    emit maxEdit->textEdited("50");
    EXPECT_EQ(maxSpin->Pos(), 50);
    minEdit->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(sink.m_messages.size(), 1u);
    EXPECT_EQ(sink.m_messages[0], "最低周波数より大きな値を入力してください！");
    EXPECT_TRUE(maxEdit->hasFocus());
    EXPECT_EQ(maxEdit->selectedText(), "50");
}

}  // namespace
}  // namespace tonmira::test
