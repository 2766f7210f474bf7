// Playback and the transport commands on the simulated device: what is played for each range
// and direction, the last-size rule, pause and cueing, speed, marks, go-to and the slider.
#include <cstring>

#include "TransportFixture.h"

namespace tonmira::test {
namespace {

struct PlaybackTest : TransportFixture {
    static constexpr int kN = 64;
    std::vector<std::int16_t> mono;

    // A one-channel take of `frames` frames, sample i = i - 1000 (distinct, signed).
    void LoadRamp(UINT frames)
    {
        SetFormat(8000, 16, 1, kN);
        mono.resize(frames);
        for (UINT i = 0; i < frames; ++i)
            mono[i] = static_cast<std::int16_t>(static_cast<int>(i) - 1000);
        LoadTake16(mono, 1);
    }

    std::vector<std::int16_t> Played() const
    {
        std::vector<BYTE> bytes = backend.PlayedBytes();
        std::vector<std::int16_t> samples(bytes.size() / 2);
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
        return samples;
    }

    // The played samples without the leading and trailing silence of the device.
    std::vector<std::int16_t> PlayedRange(std::int16_t first, std::size_t count) const
    {
        std::vector<std::int16_t> played = Played();
        auto it = std::find(played.begin(), played.end(), first);
        if (it == played.end() || static_cast<std::size_t>(played.end() - it) < count)
            return {};
        return std::vector<std::int16_t>(it, it + static_cast<std::ptrdiff_t>(count));
    }
};

TEST_F(PlaybackTest, ForwardPlaysFromThePositionToTheEndMarkAndReturnsToTheStartMark)
{
    LoadRamp(20000);
    SetMarks(100, 300 + 9 * kN - 1 + 10);  // nine full buffers and 10 samples
    transport->ShowPosition(300);
    transport->OnPlay();
    ASSERT_EQ(doc.m_nState, TransportState::Playing);
    EXPECT_EQ(transport->State(), TransportState::Playing);
    EXPECT_EQ(transport->PlayLength(), 9u * kN + 10);
    EXPECT_EQ(transport->Device().m_nLastSize, 10u) << "the whole range fits the ring";
    EXPECT_EQ(transport->Device().m_nWrite.load(), 9u);
    EXPECT_TRUE(RunUntilIdle(5000));
    std::vector<std::int16_t> expected(mono.begin() + 300, mono.begin() + 300 + 9 * kN + 10);
    EXPECT_EQ(PlayedRange(mono[300], expected.size()), expected);
    EXPECT_EQ(backend.OpenFormat(WaveDirection::Output).nChannels, 1);
    EXPECT_EQ(doc.m_nPosition, 100u);
    EXPECT_EQ(transport->State(), TransportState::Idle);
    EXPECT_FALSE(loop->IsArmed(1));
    EXPECT_EQ(transport->Counters().m_nLastSize, 10u);
}

TEST_F(PlaybackTest, EndMarkAtOrBeforeThePositionPlaysToTheEndOfTheTake)
{
    LoadRamp(5 * kN + 3);
    const UINT end = kN - 1;  // the lowest end mark the command sets: the window at frame 0
    SetMarks(0, end);
    transport->ShowPosition(end);
    transport->OnPlay();
    EXPECT_EQ(transport->PlayLength(), 5u * kN + 3 - end);
    EXPECT_TRUE(RunUntilIdle(5000));
    std::vector<std::int16_t> expected(mono.begin() + end, mono.end());
    EXPECT_EQ(PlayedRange(mono[end], expected.size()), expected);
}

TEST_F(PlaybackTest, LongRangeIsFedBeyondTheRingAndEndsWithAFullLastBuffer)
{
    LoadRamp(300 * kN);  // exactly 300 buffers: the last one is full
    transport->OnPlay();
    EXPECT_EQ(transport->Device().m_nLastSize, 0u);
    EXPECT_EQ(transport->Device().m_nWrite.load(), 127u);
    UINT lastSize = 0;
    std::vector<UINT> positions;
    while (doc.m_nState == TransportState::Playing && clock.NowUs() < 60'000'000) {
        RunFor(100);
        lastSize = transport->Device().m_nLastSize;
        positions.push_back(doc.m_nPosition);
    }
    EXPECT_EQ(doc.m_nState, TransportState::Idle);
    EXPECT_EQ(lastSize, static_cast<UINT>(kN));
    std::vector<std::int16_t> played = Played();
    EXPECT_EQ(PlayedRange(mono[0], mono.size()), mono);
    // The position moved forwards a buffer at a time while playing.
    ASSERT_GE(positions.size(), 3u);
    EXPECT_EQ(positions[1] % kN, 0u);
    EXPECT_GT(positions[2], positions[1]);
}

TEST_F(PlaybackTest, BackwardPlaysFromTheEndOfTheWindowDownToFrameZero)
{
    LoadRamp(3000);
    transport->OnReverse();
    ASSERT_EQ(doc.m_bReverse, 1);
    ASSERT_NE(doc.m_pReverse, nullptr);
    transport->ShowPosition(1000);
    transport->OnPlay();
    EXPECT_EQ(transport->PlayLength(), 1000u + kN);
    EXPECT_TRUE(RunUntilIdle(5000));
    std::vector<std::int16_t> expected;
    for (int i = 1000 + kN - 1; i >= 0; --i)
        expected.push_back(mono[i]);
    EXPECT_EQ(PlayedRange(expected[0], expected.size()), expected);
    // Back to the window that ends on the end mark.
    EXPECT_EQ(doc.m_nPosition, 3000u - kN);
}

TEST_F(PlaybackTest, BackwardFromTheLastFramePlaysOnlyWhatTheTakeHolds)
{
    LoadRamp(500);
    transport->OnReverse();
    transport->ShowPosition(499);  // where a recording leaves it
    transport->OnPlay();
    EXPECT_EQ(transport->PlayLength(), 500u);
    EXPECT_TRUE(RunUntilIdle(5000));
    std::vector<std::int16_t> expected(mono.rbegin(), mono.rend());
    EXPECT_EQ(PlayedRange(expected[0], expected.size()), expected);
}

TEST_F(PlaybackTest, PauseWhileIdleCuesAndThePauseCommandStartsTheSound)
{
    LoadRamp(4000);
    transport->ShowPosition(640);
    transport->OnPause();  // idle: only armed
    EXPECT_EQ(doc.m_bPause, 1);
    transport->OnPlay();
    ASSERT_EQ(doc.m_nState, TransportState::Playing);
    EXPECT_FALSE(loop->IsArmed(1)) << "a cued start waits for the pause command";
    backend.PumpOutput(1000);
    EXPECT_EQ(transport->Device().m_nDone.load(), 0u);
    transport->OnPause();
    EXPECT_EQ(doc.m_bPause, 0);
    EXPECT_TRUE(loop->IsArmed(1));
    RunFor(300);
    // Pause while playing holds the device; play is then ignored; stop keeps the position.
    transport->OnPause();
    EXPECT_FALSE(loop->IsArmed(1));
    UINT held = doc.m_nPosition;
    EXPECT_GT(held, 640u);
    RunFor(300);
    EXPECT_EQ(doc.m_nPosition, held);
    transport->OnPlay();
    EXPECT_EQ(backend.OpenCount(WaveDirection::Output), 1);
    transport->OnStop();
    EXPECT_EQ(doc.m_nState, TransportState::Idle);
    EXPECT_EQ(doc.m_nPosition, held);
    EXPECT_EQ(doc.m_bPause, 0);
    // Nothing is held any more: the next play opens the device and runs.
    transport->OnPlay();
    EXPECT_EQ(doc.m_nState, TransportState::Playing);
    EXPECT_EQ(backend.OpenCount(WaveDirection::Output), 2);
    EXPECT_TRUE(loop->IsArmed(1));
    transport->OnStop();
}

TEST_F(PlaybackTest, SpeedChangesTheDeviceRateBySemitones)
{
    EXPECT_EQ(CTransport::SpeedRate(44100, -12), 22049u);
    EXPECT_EQ(CTransport::SpeedRate(44100, -6), 31183u);
    EXPECT_EQ(CTransport::SpeedRate(44100, 0), 44100u);
    EXPECT_EQ(CTransport::SpeedRate(44100, 6), 62366u);
    EXPECT_EQ(CTransport::SpeedRate(44100, 12), 88200u);

    LoadRamp(2000);
    transport->SetSpeed(12);
    transport->OnPlay();
    EXPECT_EQ(backend.OpenFormat(WaveDirection::Output).nSamplesPerSec, 16000u);
    transport->OnStop();
    // A rate the device refuses: nothing plays, no message, still idle.
    backend.m_refusedRates = {CTransport::SpeedRate(8000, -10)};
    transport->SetSpeed(-10);
    transport->OnPlay();
    EXPECT_EQ(doc.m_nState, TransportState::Idle);
    EXPECT_TRUE(host.m_messages.empty());
}

TEST_F(PlaybackTest, PlaybackThatCannotStartSaysWhy)
{
    LoadRamp(2000);
    backend.m_bHasOutput = false;
    transport->OnPlay();
    EXPECT_EQ(doc.m_nState, TransportState::Idle);
    ASSERT_EQ(host.m_messages.size(), 1u);
    EXPECT_EQ(host.m_messages[0], "再生デバイスが見つかりません！");
    backend.m_bHasOutput = true;
    transport->Device().m_hMutex.reset();
    transport->OnPlay();
    EXPECT_EQ(doc.m_nState, TransportState::Idle);
    ASSERT_EQ(host.m_messages.size(), 2u);
    EXPECT_EQ(host.m_messages[1], "再生処理の初期化に失敗しました！");
}

TEST_F(PlaybackTest, ARefusedBufferKeepsThePlaybackRunningUntilStopped)
{
    LoadRamp(200 * kN);
    backend.m_nFailOutputSubmit = 130;
    transport->OnPlay();
    RunFor(10000);
    EXPECT_EQ(doc.m_nState, TransportState::Playing) << "the lost buffer never comes back";
    ASSERT_EQ(host.m_messages.size(), 1u);
    EXPECT_EQ(host.m_messages[0], "Error - 11");
    transport->OnStop();
    EXPECT_EQ(doc.m_nState, TransportState::Idle);
}

TEST_F(PlaybackTest, MarksGoToAndReverseMoveThePosition)
{
    LoadRamp(1000);
    // Start mark: set at the position, cleared when set; at position 0 it stays cleared.
    transport->OnStartMark();
    EXPECT_EQ(doc.m_nStartMark, 0u);
    transport->ShowPosition(200);
    transport->OnStartMark();
    EXPECT_EQ(doc.m_nStartMark, 200u);
    transport->OnStartMark();
    EXPECT_EQ(doc.m_nStartMark, 0u);
    transport->OnStartMark();
    // End mark: the last frame of the window, and back to the last frame.
    transport->OnEndMark();
    EXPECT_EQ(doc.m_nEndMark, 200u + kN - 1);
    transport->OnEndMark();
    EXPECT_EQ(doc.m_nEndMark, 999u);
    transport->ShowPosition(990);  // a window that reaches past the take: the mark stays inside it
    transport->OnEndMark();
    EXPECT_EQ(doc.m_nEndMark, 999u);
    transport->ShowPosition(700 - kN + 1);
    transport->OnEndMark();
    ASSERT_EQ(doc.m_nEndMark, 700u);

    transport->ShowPosition(500);
    transport->OnGoTop();
    EXPECT_EQ(doc.m_nPosition, 200u);
    transport->OnGoTop();
    EXPECT_EQ(doc.m_nPosition, 0u) << "start mark not before the position: frame 0";
    transport->OnGoEnd();
    EXPECT_EQ(doc.m_nPosition, 700u - kN + 1);
    transport->OnGoEnd();
    EXPECT_EQ(doc.m_nPosition, 1000u - kN);

    // Reverse on at the start mark goes to the window ending on the end mark, and back.
    transport->ShowPosition(200);
    std::string before = transport->PositionText();
    transport->OnReverse();
    EXPECT_EQ(doc.m_nPosition, 700u - kN + 1);
    EXPECT_EQ(transport->PositionText(), before) << "reverse does not touch the position string";
    transport->OnReverse();
    EXPECT_EQ(doc.m_nPosition, 200u);
    EXPECT_EQ(doc.m_bReverse, 0);

    // Go-to-start while playing only stops.
    transport->ShowPosition(300);
    transport->OnPlay();
    transport->OnGoTop();
    EXPECT_EQ(doc.m_nState, TransportState::Idle);
    EXPECT_EQ(doc.m_nPosition, 200u);
}

TEST_F(PlaybackTest, SliderScrollCodesClampToTheTake)
{
    LoadRamp(1000);
    const UINT last = 1000 - kN;
    transport->OnHScroll(ScrollCode::LineLeft, 0);
    EXPECT_EQ(host.m_nInvalidations, 0) << "nothing shown at the left end";
    transport->OnHScroll(ScrollCode::LineRight, 0);
    EXPECT_EQ(doc.m_nPosition, 1u);
    transport->OnHScroll(ScrollCode::PageLeft, 0);
    EXPECT_EQ(doc.m_nPosition, 0u);
    transport->OnHScroll(ScrollCode::PageRight, 0);
    EXPECT_EQ(doc.m_nPosition, static_cast<UINT>(kN));
    transport->ShowPosition(last - 10);
    transport->OnHScroll(ScrollCode::PageRight, 0);
    EXPECT_EQ(doc.m_nPosition, last);
    transport->OnHScroll(ScrollCode::LineRight, 0);
    EXPECT_EQ(doc.m_nPosition, last);
    transport->OnHScroll(ScrollCode::ThumbTrack, 5);
    EXPECT_EQ(doc.m_nPosition, last);
    transport->OnHScroll(ScrollCode::EndScroll, 123);
    EXPECT_EQ(doc.m_nPosition, 123u);
    EXPECT_EQ(transport->PositionText(), "00:00.015");
}

TEST(TimeTextTest, FormatsMinutesSecondsAndTruncatedMilliseconds)
{
    EXPECT_EQ(FormatTakeTime(0, 44100), "00:00.000");
    EXPECT_EQ(FormatTakeTime(44099, 44100), "00:00.999");
    EXPECT_EQ(FormatTakeTime(44100 * 61 + 441, 44100), "01:01.010");
    EXPECT_EQ(FormatTakeTime(4294967295u, 1), "71582788:15.000");
    EXPECT_EQ(FormatTakeTime(5, 0), "00:00.000");
}

}  // namespace
}  // namespace tonmira::test
