// Recording through the transport on the simulated device: what ends up in the take, the
// automatic start, pause, collection hand-over and discard, the timer, failures, long takes.
#include <cstring>

#include "TransportFixture.h"

namespace tonmira::test {
namespace {

// Stereo 16-bit frames: left = frame index (mod 2^15), right = -left.
std::vector<BYTE> StereoRamp(std::size_t frames)
{
    std::vector<BYTE> bytes(frames * 4);
    for (std::size_t f = 0; f < frames; ++f) {
        std::int16_t lr[2] = {static_cast<std::int16_t>(f & 0x7FFF), static_cast<std::int16_t>(-(int)(f & 0x7FFF))};
        std::memcpy(&bytes[f * 4], lr, 4);
    }
    return bytes;
}

struct RecordingTest : TransportFixture {
    RecordingTest() { SetFormat(8000, 16, 2, 256); }
};

TEST_F(RecordingTest, RecordsWholeBuffersIntoAnEmptyTakeAndResetsMarksAtStop)
{
    backend.SetInputTake(StereoRamp(20000));
    transport->OnRecord();
    ASSERT_EQ(doc.m_nState, TransportState::Recording);
    EXPECT_EQ(transport->State(), TransportState::Recording);
    EXPECT_EQ(doc.m_nState, TransportState::Recording);
    RunFor(1000);  // 8000 frames = 31.25 buffers of 256
    EXPECT_EQ(host.m_timerPeriods.front(), 150u);
    EXPECT_EQ(host.m_timerPeriods.back(), 256u * 1000 / 8000 + 2);
    UINT recorded = transport->RecordedFrames();
    EXPECT_EQ(recorded % 256, 0u) << "only whole buffers are kept";
    EXPECT_GE(recorded, 256u * 28);
    EXPECT_EQ(doc.m_nPosition, recorded);
    EXPECT_EQ(transport->PositionField(), FormatTakeTime(recorded, 8000));

    transport->OnStop();
    EXPECT_EQ(doc.m_nState, TransportState::Idle);
    EXPECT_EQ(transport->State(), TransportState::Idle);
    ASSERT_EQ(doc.m_nSamples, recorded);
    std::vector<BYTE> expected = StereoRamp(recorded);
    EXPECT_EQ(std::memcmp(doc.m_pData, expected.data(), expected.size()), 0);
    EXPECT_EQ(doc.m_nStartMark, 0u);
    EXPECT_EQ(doc.m_nEndMark, recorded - 1);
    EXPECT_EQ(doc.m_nPosition, 0u);
    EXPECT_EQ(doc.m_nBalance, 50);
    EXPECT_TRUE(doc.IsModified());
    ASSERT_NE(doc.m_pMono, nullptr);
    EXPECT_EQ(reinterpret_cast<std::int16_t*>(doc.m_pMono)[100], 0) << "(100 + -100) / 2";
    EXPECT_EQ(transport->PositionText(), "00:00.000");
    EXPECT_EQ(transport->PositionLimit(), recorded - 256);
    EXPECT_FALSE(loop->IsArmed(1));
}

TEST_F(RecordingTest, RecordingAppendsBehindTheTakeInItsFormat)
{
    SetFormat(8000, 16, 1, 256);
    std::vector<std::int16_t> old(1000, 7);
    LoadTake16(old, 1);
    SetMarks(10, 500);
    std::vector<BYTE> input(5000 * 2);
    for (std::size_t i = 0; i < 5000; ++i) {
        std::int16_t v = static_cast<std::int16_t>(i + 1);
        std::memcpy(&input[i * 2], &v, 2);
    }
    backend.SetInputTake(input);
    transport->OnRecord();
    EXPECT_EQ(doc.m_pMono, nullptr) << "derived buffers are released while recording";
    EXPECT_EQ(transport->ShownPosition(), 1000u - 256);
    RunFor(400);
    transport->OnStop();
    ASSERT_GT(doc.m_nSamples, 1000u);
    const auto* data = reinterpret_cast<const std::int16_t*>(doc.m_pData);
    EXPECT_EQ(data[999], 7);
    EXPECT_EQ(data[1000], 1);
    EXPECT_EQ(data[1000 + 511], 512);
    EXPECT_EQ(doc.m_nStartMark, 0u);
    EXPECT_EQ(doc.m_nEndMark, doc.m_nSamples - 1);
    EXPECT_EQ(doc.m_pMono, doc.m_pData);
}

TEST_F(RecordingTest, StopBeforeAnyBufferKeepsTheTakeButResetsMarksAndMono)
{
    std::vector<std::int16_t> old(2000);
    for (std::size_t i = 0; i < old.size(); ++i)
        old[i] = static_cast<std::int16_t>(i);
    LoadTake16(old, 2);
    transport->ApplyBalance(0);  // kept: only a recording that added frames resets it
    transport->ShowPosition(5);
    transport->OnStartMark();
    transport->OnRecord();
    transport->OnStop();
    EXPECT_EQ(doc.m_nSamples, 1000u);
    EXPECT_EQ(doc.m_nBalance, 0);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.m_nStartMark, 0u);
    EXPECT_EQ(doc.m_nEndMark, 999u);
    ASSERT_NE(doc.m_pMono, nullptr);
    EXPECT_EQ(reinterpret_cast<std::int16_t*>(doc.m_pMono)[3], 6) << "left channel at balance 0";
}

// Input: silence, then at frame `at` one sample of `value` (left channel), then silence.
std::vector<BYTE> Spike16(std::size_t frames, std::size_t at, std::int16_t value)
{
    std::vector<BYTE> bytes(frames * 4, 0);
    std::memcpy(&bytes[at * 4], &value, 2);
    return bytes;
}

TEST_F(RecordingTest, AutomaticStartKeepsInputFromTheFirstLoudBuffer)
{
    transport->SetAutoStartLevel(10);  // 3276 at 16 bits
    std::vector<BYTE> input = Spike16(20000, 256 * 5 + 17, 3276);
    std::int16_t below = 3275;
    std::memcpy(&input[(256 * 2 + 3) * 4 + 2], &below, 2);  // right channel, not enough
    std::int16_t negative = -4000;
    std::memcpy(&input[(256 * 5 + 20) * 4], &negative, 2);
    backend.SetInputTake(input);
    transport->OnRecord();
    EXPECT_EQ(doc.m_bPause, 1);
    RunFor(1000);
    EXPECT_EQ(doc.m_bPause, 0);
    transport->OnStop();
    ASSERT_GT(doc.m_nSamples, 256u);
    const auto* data = reinterpret_cast<const std::int16_t*>(doc.m_pData);
    // Buffer 5 is the first kept, whole from its first frame.
    EXPECT_EQ(data[17 * 2], 3276);
    EXPECT_EQ(data[20 * 2], -4000);
}

TEST_F(RecordingTest, AutomaticStartAtEightBitsUsesItsOwnScaleAndIgnoresEmptyBuffers)
{
    SetFormat(8000, 8, 1, 256);
    transport->SetAutoStartLevel(10);  // 12 at 8 bits
    std::vector<BYTE> input(20000, 128);
    input[256 * 1 + 9] = 128 + 11;  // not loud
    input[256 * 3 + 9] = 128 - 12;  // loud
    backend.SetInputTake(input);
    transport->OnRecord();
    RunFor(1000);
    transport->OnStop();
    ASSERT_GT(doc.m_nSamples, 256u);
    EXPECT_EQ(doc.m_pData[9], 116);
    EXPECT_EQ(doc.m_pData[0], 128);
}

TEST_F(RecordingTest, BufferWithNoRecordedBytesNeverStartsRecording)
{
    transport->SetAutoStartLevel(10);
    // A buffer that comes back empty at the stop is never loud, even with loud data left in it.
    std::vector<BYTE> input = Spike16(300, 10, 20000);
    backend.SetInputTake(input);
    transport->OnRecord();
    backend.PumpInput(100);  // part of the first buffer
    transport->OnStop();     // hands it back with 400 bytes recorded
    EXPECT_EQ(doc.m_nSamples, 0u);
}

TEST_F(RecordingTest, PauseDropsInputUntilResumed)
{
    backend.SetInputTake(StereoRamp(40000));
    transport->OnRecord();
    RunFor(200);  // one tick at 150 ms: four buffers kept
    UINT before = transport->RecordedFrames();
    ASSERT_GT(before, 0u);
    transport->OnPause();
    EXPECT_EQ(doc.m_bPause, 1);
    RunFor(500);
    EXPECT_EQ(transport->RecordedFrames(), before);
    transport->OnPause();
    RunFor(200);
    transport->OnStop();
    ASSERT_GT(doc.m_nSamples, before);
    const auto* data = reinterpret_cast<const std::int16_t*>(doc.m_pData);
    // The frame after the pause is not the next input frame: the paused input was dropped.
    EXPECT_NE(data[before * 2], static_cast<std::int16_t>(before));
    EXPECT_EQ(doc.m_bPause, 0);
}

TEST_F(RecordingTest, CollectionHandsOverAfterTheQuietTimeAndStopDiscardsAnEvent)
{
    CollectProbe probe;
    transport->SetCollectHandOver(&probe);
    transport->SetCollectParameters(1000, 200, 0);
    // Sound in buffers 3 and 4, then quiet.
    std::vector<BYTE> input = Spike16(40000, 256 * 3 + 1, 1000);
    std::int16_t v = -1500;
    std::memcpy(&input[(256 * 4 + 2) * 4 + 2], &v, 2);
    backend.SetInputTake(input);
    transport->OnRecord();
    EXPECT_EQ(doc.m_bPause, 1) << "collection waits for the level";
    EXPECT_TRUE(loop->RunUntil([&] { return probe.m_nCalls > 0; }, 5'000'000));
    // The tick that handed over left the buffers and the timer alone.
    EXPECT_FALSE(loop->IsArmed(1));
    EXPECT_LT(transport->Device().m_nRead.load(), transport->Device().m_nDone.load());
    const DWORD d = transport->Device().m_nDone.load();
    const std::uint64_t quietMs = std::uint64_t(d - 4) * 256 * 1000 / 8000;
    EXPECT_GT(quietMs, 200u);
    EXPECT_GT(transport->RecordedFrames(), 256u);

    // A manual stop (no worker busy) discards the event and leaves the take alone.
    transport->OnStop();
    EXPECT_EQ(doc.m_nState, TransportState::Idle);
    EXPECT_EQ(doc.m_nSamples, 0u);
    EXPECT_EQ(doc.m_pData, nullptr);
    EXPECT_EQ(transport->RecordedFrames(), 0u);
    EXPECT_EQ(host.m_nControlUpdates, 1);
    EXPECT_FALSE(doc.IsModified());
}

// Driven buffer by buffer (one device buffer, then one tick) so that each boundary falls on a
// known tick: a sample exactly at the level is loud and one a unit below is not, both for the
// start and for the continuation of an event; the hand-over comes only once the time since the
// last loud buffer exceeds the continuous time, not when it equals it (6 buffers of 32 ms = 192 ms).
TEST_F(RecordingTest, CollectionLevelAndQuietTimeBoundariesFallOnTheRightBuffer)
{
    CollectProbe probe;
    transport->SetCollectHandOver(&probe);
    transport->SetCollectParameters(1000, 192, 0);
    std::vector<BYTE> input(256 * 20 * 4, 0);
    auto put = [&input](std::size_t frame, int channel, std::int16_t value) {
        std::memcpy(&input[frame * 4 + std::size_t(channel) * 2], &value, 2);
    };
    put(256 * 0 + 40, 0, 999);    // a unit below: no start
    put(256 * 1 + 70, 1, 1000);   // exactly the level: the event starts here
    put(256 * 3 + 5, 0, -1000);   // exactly the level, negative: the event goes on
    put(256 * 4 + 200, 1, -999);  // a unit below: quiet
    backend.SetInputTake(input);
    backend.m_nCallbackFrames = 256;
    transport->OnRecord();
    ASSERT_EQ(doc.m_nState, TransportState::Recording);
    DWORD done = 0;
    auto tick = [&] {
        backend.PumpInput(256);
        ASSERT_EQ(transport->Device().m_nDone.load(), ++done);
        transport->OnTimer(kTransportTimer);
    };

    tick();
    EXPECT_EQ(doc.m_bPause, 1) << "999 is below the level";
    EXPECT_EQ(transport->RecordedFrames(), 0u);
    tick();
    EXPECT_EQ(doc.m_bPause, 0) << "1000 is the level";
    EXPECT_EQ(transport->RecordedFrames(), 256u);
    // -1000 in buffer 3 continues the event, -999 in buffer 4 does not: the quiet time counts
    // from buffer 3, which the hand-over's tick below shows.
    for (int i = 0; i < 7; ++i)
        tick();
    ASSERT_EQ(done, 9u);
    EXPECT_EQ(probe.m_nCalls, 0) << "192 ms since the last loud buffer is not more than 192 ms";
    EXPECT_EQ(transport->Device().m_nRead.load(), 9u);
    tick();
    EXPECT_EQ(probe.m_nCalls, 1) << "224 ms is";
    EXPECT_EQ(transport->Device().m_nRead.load(), 9u) << "the handing-over tick leaves the buffers";
    EXPECT_EQ(transport->RecordedFrames(), 256u * 9);
}

TEST_F(RecordingTest, StopWhileTheWorkerIsBusyMovesTheEventIntoTheTake)
{
    CollectProbe probe;
    transport->SetCollectHandOver(&probe);
    transport->SetCollectParameters(1000, 0, 0);
    backend.SetInputTake(Spike16(40000, 256 * 2, 2000));
    transport->OnRecord();
    ASSERT_TRUE(loop->RunUntil([&] { return probe.m_nCalls > 0; }, 5'000'000));
    transport->SetCollectBusy(true);  // the worker's own stop
    UINT frames = transport->RecordedFrames();
    transport->OnStop();
    EXPECT_EQ(doc.m_nSamples, frames);
    EXPECT_EQ(reinterpret_cast<std::int16_t*>(doc.m_pData)[0], 2000);
}

TEST_F(RecordingTest, RecordingThatCannotStartLeavesTheTakePlayable)
{
    std::vector<std::int16_t> old(600, 3);
    LoadTake16(old, 2);
    transport->ShowPosition(100);
    transport->SetShownRange(299, 100);
    // No input device at all: said, and nothing of the view moved.
    backend.m_bHasInput = false;
    transport->OnRecord();
    EXPECT_EQ(doc.m_nState, TransportState::Idle);
    ASSERT_EQ(host.m_messages.size(), 1u);
    EXPECT_EQ(host.m_messages[0], "録音デバイスが見つかりません！");
    EXPECT_EQ(transport->ShownPosition(), 100u);
    EXPECT_NE(doc.m_pMono, nullptr);
    // A device that refuses the format: the slider comes back to the position.
    backend.m_bHasInput = true;
    backend.m_refusedRates.insert(doc.m_header.nSamplesPerSec);
    transport->OnRecord();
    EXPECT_EQ(doc.m_nState, TransportState::Idle);
    EXPECT_EQ(doc.m_nPosition, 100u);
    EXPECT_EQ(transport->ShownPosition(), 100u);
    EXPECT_NE(doc.m_pMono, nullptr);
    backend.m_refusedRates.clear();
    host.m_messages.clear();
    // A format with no frames cannot have a ring.
    doc.m_header.nChannels = 0;  // planted: no command makes such a format
    transport->OnRecord();
    ASSERT_EQ(host.m_messages.size(), 1u);
    EXPECT_EQ(host.m_messages[0], "録音処理の初期化に失敗しました！");
    EXPECT_EQ(doc.m_nState, TransportState::Idle);
}

// An hour of 96 kHz stereo input through the ring and the chunks: nothing lost, nothing
// repeated, and the chunks are never copied while growing. This test has one thread; under
// ThreadSanitizer, which slows every access, ten minutes stand for the hour.
#if defined(__SANITIZE_THREAD__)
constexpr std::int64_t kLongRecordingSeconds = 600;
#else
constexpr std::int64_t kLongRecordingSeconds = 3600;
#endif

TEST_F(RecordingTest, AnHourAt96kHzStereoArrivesComplete)
{
    SetFormat(96000, 16, 2, 8192);
    // The input repeats a block of a prime number of frames, so a lost or doubled buffer shifts
    // the phase and shows at the sampled frames below.
    constexpr std::size_t kPeriod = 8191;
    std::vector<BYTE> block = StereoRamp(kPeriod);
    backend.m_nCallbackFrames = 4096;
    backend.SetInputGenerator([&block](BYTE* dst, std::size_t bytes, std::uint64_t position) {
        std::size_t offset = static_cast<std::size_t>(position % (kPeriod * 4));
        while (bytes > 0) {
            std::size_t n = std::min(bytes, block.size() - offset);
            std::memcpy(dst, block.data() + offset, n);
            dst += n;
            bytes -= n;
            offset = 0;
        }
    });
    transport->OnRecord();
    RunFor(kLongRecordingSeconds * 1000);
    transport->OnStop();
    EXPECT_EQ(transport->Device().DroppedInputFrames(), 0u);
    EXPECT_TRUE(host.m_messages.empty());
    const UINT expected = static_cast<UINT>(96000 * kLongRecordingSeconds / 8192 * 8192);
    ASSERT_GE(doc.m_nSamples, expected - 8192 * 2);
    ASSERT_LE(doc.m_nSamples, static_cast<UINT>(96000 * kLongRecordingSeconds));
    const auto* data = reinterpret_cast<const std::int16_t*>(doc.m_pData);
    bool intact = true;
    for (std::size_t f = 0; f < doc.m_nSamples && intact; f += 997)
        intact = data[f * 2] == static_cast<std::int16_t>(f % kPeriod);
    EXPECT_TRUE(intact);
    EXPECT_EQ(data[(std::size_t(doc.m_nSamples) - 1) * 2], static_cast<std::int16_t>((doc.m_nSamples - 1) % kPeriod));
}

}  // namespace
}  // namespace tonmira::test
