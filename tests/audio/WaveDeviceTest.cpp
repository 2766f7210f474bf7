// The device layer over the simulated device: queue order, lengths, pause, close and the input
// ring with its drop rule.
#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <thread>
#include <vector>

#include "audio/SimulatedBackend.h"
#include "audio/WaveDevice.h"
#include "base/MessageSink.h"

namespace tonmira {
namespace {

struct DeviceFixture : ::testing::Test {
    SimulatedBackend backend;
    CapturingMessageSink sink;
    CWaveDevice device{backend, sink};

    // 16-bit mono output buffers of `len` samples, sample value = buffer index * 100 + position.
    std::vector<std::vector<std::int16_t>> MakeOutputBuffers(int count, DWORD len)
    {
        std::vector<std::vector<std::int16_t>> buffers(count, std::vector<std::int16_t>(len));
        for (int b = 0; b < count; ++b)
            for (DWORD i = 0; i < len; ++i)
                buffers[b][i] = static_cast<std::int16_t>(b * 100 + static_cast<int>(i));
        return buffers;
    }

    void PrepareOutput(DWORD rate, WORD bits, DWORD len, DWORD lastIndex, DWORD lastSize)
    {
        device.m_nRate = rate;
        device.m_nBits = bits;
        device.m_nChannels = 1;
        device.m_nBufferLen = len;
        device.m_nLastSize = lastSize;
        device.m_nWrite = lastIndex;
    }

    std::vector<std::int16_t> Played16() const
    {
        std::vector<BYTE> bytes = backend.PlayedBytes();
        std::vector<std::int16_t> samples(bytes.size() / 2);
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
        return samples;
    }
};

TEST_F(DeviceFixture, ShortOutputStreamQueuesExactlyItsBuffersAndEndsWithTheLastSize)
{
    auto buffers = MakeOutputBuffers(3, 64);
    for (int i = 0; i < 3; ++i)
        device.m_pBuffer[i] = buffers[i].data();
    PrepareOutput(8000, 16, 64, 2, 10);
    ASSERT_TRUE(device.OpenOutput(0));
    EXPECT_EQ(device.m_nPrepared, 3u);
    EXPECT_EQ(device.m_nRead.load(), 2u);
    EXPECT_EQ(device.m_format.nBlockAlign, 2);
    EXPECT_EQ(device.m_format.nAvgBytesPerSec, 16000u);
    EXPECT_TRUE(device.FeedOutput());  // nothing more to queue

    backend.m_nCallbackFrames = 50;  // callbacks straddle buffer ends
    backend.PumpOutput(64 + 64 + 10 + 30);
    EXPECT_EQ(device.m_nDone.load(), 3u);
    std::vector<std::int16_t> played = Played16();
    ASSERT_EQ(played.size(), 168u);
    for (int i = 0; i < 64; ++i) {
        EXPECT_EQ(played[i], i);
        EXPECT_EQ(played[64 + i], 100 + i);
    }
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(played[128 + i], 200 + i);
    for (int i = 138; i < 168; ++i)
        EXPECT_EQ(played[i], 0) << "underrun must be silence";
    EXPECT_TRUE(device.CloseOutput());
    EXPECT_FALSE(backend.IsRunning(WaveDirection::Output));
    EXPECT_TRUE(device.CloseOutput());  // already closed: nothing to do
}

TEST_F(DeviceFixture, EightBitBuffersAreOneBytePerSampleAndSilenceIsMidScale)
{
    std::vector<BYTE> data(100);
    std::iota(data.begin(), data.end(), 1);
    device.m_pBuffer[0] = data.data();
    PrepareOutput(11025, 8, 100, 0, 0);
    ASSERT_TRUE(device.OpenOutput(0));
    backend.PumpOutput(120);
    std::vector<BYTE> played = backend.PlayedBytes();
    ASSERT_EQ(played.size(), 120u);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), played.begin()));
    EXPECT_EQ(played[100], 0x80);
    EXPECT_EQ(device.m_nDone.load(), 1u);
    device.CloseOutput();
}

TEST_F(DeviceFixture, PauseHoldsTheQueueAndRestartResumes)
{
    auto buffers = MakeOutputBuffers(2, 32);
    device.m_pBuffer[0] = buffers[0].data();
    device.m_pBuffer[1] = buffers[1].data();
    PrepareOutput(8000, 16, 32, 1, 0);
    // Nothing open: pause and restart do nothing.
    EXPECT_TRUE(device.PauseOutput());
    EXPECT_TRUE(device.RestartOutput());

    ASSERT_TRUE(device.OpenOutput(1));  // cued, paused
    EXPECT_EQ(device.m_bOutPaused, 1);
    backend.PumpOutput(64);
    EXPECT_EQ(device.m_nDone.load(), 0u);
    EXPECT_FALSE(device.RestartOutput());
    backend.PumpOutput(40);
    EXPECT_EQ(device.m_nDone.load(), 1u);
    EXPECT_FALSE(device.PauseOutput());
    backend.PumpOutput(64);
    EXPECT_EQ(device.m_nDone.load(), 1u);
    EXPECT_FALSE(device.RestartOutput());
    EXPECT_TRUE(device.RestartOutput());  // no longer held
    backend.PumpOutput(24);
    EXPECT_EQ(device.m_nDone.load(), 2u);
    std::vector<std::int16_t> played = Played16();
    // Silence while held, then the buffers in order without a gap.
    EXPECT_EQ(played[64], 0);
    EXPECT_EQ(played[64 + 31], 31);
    EXPECT_EQ(played[64 + 32], 100);
    EXPECT_EQ(played[64 + 40], 0);
    EXPECT_EQ(played[64 + 40 + 64], 108);
    device.CloseOutput();
}

TEST_F(DeviceFixture, OpenFailuresLeaveTheDeviceClosedWithoutAMessage)
{
    auto buffers = MakeOutputBuffers(1, 32);
    device.m_pBuffer[0] = buffers[0].data();
    PrepareOutput(8000, 16, 32, 0, 0);
    // A busy device is retried once after stopping the system's sound.
    backend.m_nBusyOutputOpens = 1;
    ASSERT_TRUE(device.OpenOutput(0));
    device.CloseOutput();
    backend.m_refusedRates = {8000};
    EXPECT_FALSE(device.OpenOutput(0));
    EXPECT_EQ(device.m_bOutOpen, 0);
    backend.m_refusedRates.clear();
    backend.m_bHasOutput = false;
    EXPECT_FALSE(device.OpenOutput(0));
    // The same for input: no device, or a rate it refuses; no message either way.
    std::vector<BYTE> ring(128 * 64 * 2);
    device.m_nRate = 22050;
    device.m_nBits = 16;
    device.m_nChannels = 1;
    device.m_nBufferLen = 64;
    for (int i = 0; i < 128; ++i)
        device.m_pBuffer[i] = ring.data() + i * 128;
    backend.m_bHasOutput = true;
    backend.m_refusedRates = {22050};
    EXPECT_FALSE(device.OpenInput());
    EXPECT_EQ(device.m_bInOpen, 0);
    backend.m_refusedRates.clear();
    backend.m_bHasInput = false;
    EXPECT_FALSE(device.OpenInput());
    EXPECT_TRUE(device.CloseInput());
    EXPECT_TRUE(sink.m_messages.empty());
}

struct InputFixture : DeviceFixture {
    static constexpr DWORD kLen = 64;  // frames per buffer
    std::vector<std::int16_t> ring = std::vector<std::int16_t>(128 * kLen * 2);

    void OpenStereoInput()
    {
        device.m_nRate = 48000;
        device.m_nBits = 16;
        device.m_nChannels = 2;
        device.m_nBufferLen = kLen;
        for (int i = 0; i < 128; ++i)
            device.m_pBuffer[i] = ring.data() + i * kLen * 2;
        ASSERT_TRUE(device.OpenInput());
        device.m_nRead = 0;
    }
};

TEST_F(InputFixture, CaptureFillsBuffersInOrderAndPublishesTheirByteCounts)
{
    std::vector<BYTE> take(300 * 4);
    for (int f = 0; f < 300; ++f) {
        std::int16_t lr[2] = {static_cast<std::int16_t>(f), static_cast<std::int16_t>(-f)};
        std::memcpy(&take[f * 4], lr, 4);
    }
    backend.SetInputTake(take);
    OpenStereoInput();
    EXPECT_EQ(device.m_nWrite.load(), 127u);
    EXPECT_EQ(backend.OpenFormat(WaveDirection::Input).nBlockAlign, 4);
    backend.m_nCallbackFrames = 100;
    backend.PumpInput(150);
    EXPECT_EQ(device.m_nDone.load(), 2u);
    EXPECT_EQ(device.m_nRecorded[0].load(), kLen * 4);
    EXPECT_EQ(device.m_nRecorded[1].load(), kLen * 4);
    EXPECT_EQ(ring[0], 0);
    EXPECT_EQ(ring[kLen * 2 + 1], -static_cast<int>(kLen));
    // Close returns the partly filled buffer with its count and the rest empty.
    EXPECT_FALSE(device.CloseInput());
    EXPECT_EQ(device.m_nDone.load(), 128u);
    EXPECT_EQ(device.m_nRecorded[2].load(), (150 - 2 * kLen) * 4);
    EXPECT_EQ(device.m_nRecorded[3].load(), 0u);
    EXPECT_TRUE(device.CloseInput());
    EXPECT_EQ(device.m_bInOpen, 0);
}

TEST_F(InputFixture, FullRingDropsInputInsteadOfOverwritingUntakenBuffers)
{
    // Frame f holds f in both channels (mod 2^15), so a buffer's first frame tells where it came from.
    backend.SetInputGenerator([](BYTE* dst, std::size_t bytes, std::uint64_t position) {
        for (std::size_t b = 0; b < bytes; b += 4) {
            auto f = static_cast<std::int16_t>(((position + b) / 4) & 0x7FFF);
            std::memcpy(dst + b, &f, 2);
            std::memcpy(dst + b + 2, &f, 2);
        }
    });
    OpenStereoInput();
    backend.PumpInput(130 * kLen);
    EXPECT_EQ(device.m_nDone.load(), 128u);
    EXPECT_EQ(device.DroppedInputFrames(), 2 * kLen);
    EXPECT_EQ(ring[0], 0) << "slot 0 was overwritten before it was taken";
    // Take 10 buffers and give them back: capture resumes with the current input.
    device.m_nRead = 10;
    ASSERT_TRUE(device.RequeueInput());
    EXPECT_EQ(device.m_nWrite.load(), 137u);
    backend.PumpInput(kLen);
    EXPECT_EQ(device.m_nDone.load(), 129u);
    EXPECT_EQ(ring[0], static_cast<std::int16_t>(130 * kLen));
    device.CloseInput();
}

TEST_F(DeviceFixture, InputFormatsComeFromTheLastDeviceQueried)
{
    DWORD formats = 0;
    backend.m_dwInputFormats = 0x0F0F0;
    backend.m_nInputDevices = 2;
    EXPECT_TRUE(device.QueryInputFormats(formats));
    EXPECT_EQ(formats, 0x0F0F0u);
    backend.m_bHasInput = false;  // not even the default input
    EXPECT_FALSE(device.QueryInputFormats(formats));
    EXPECT_EQ(formats, 0u);
}

// The stream thread fills buffers while the owner takes and requeues them, as a real device does.
// Run under ThreadSanitizer this checks the hand-over of buffers and byte counts.
TEST_F(InputFixture, ConcurrentCaptureDeliversEveryFrameInOrder)
{
    backend.SetInputGenerator([](BYTE* dst, std::size_t bytes, std::uint64_t position) {
        for (std::size_t b = 0; b < bytes; b += 2) {
            auto v = static_cast<std::int16_t>(((position + b) / 2) & 0x7FFF);
            std::memcpy(dst + b, &v, 2);
        }
    });
    OpenStereoInput();
    const DWORD total = 2000;
    std::atomic<bool> stop{false};
    std::thread driver([&] {
        // Only pump while there is room, so nothing is dropped and the order is checkable.
        while (!stop.load()) {
            if (device.m_nDone.load(std::memory_order_acquire) < device.m_nWrite.load(std::memory_order_relaxed) + 1)
                backend.PumpInput(kLen / 2);
            else
                std::this_thread::yield();
        }
    });
    std::uint64_t expected = 0;
    bool ordered = true;
    while (device.m_nRead.load() < total) {
        DWORD done = device.m_nDone.load(std::memory_order_acquire);
        for (DWORD r = device.m_nRead.load(); r < done && r < total; ++r) {
            const std::int16_t* buffer = static_cast<const std::int16_t*>(device.m_pBuffer[r % 128]);
            EXPECT_EQ(device.m_nRecorded[r % 128].load(std::memory_order_relaxed), kLen * 4);
            for (DWORD s = 0; s < kLen * 2; ++s, ++expected)
                ordered &= buffer[s] == static_cast<std::int16_t>(expected & 0x7FFF);
            device.m_nRead = r + 1;
        }
        device.RequeueInput();
    }
    stop = true;
    driver.join();
    device.CloseInput();
    EXPECT_TRUE(ordered);
    EXPECT_EQ(device.DroppedInputFrames(), 0u);
}

}  // namespace
}  // namespace tonmira
