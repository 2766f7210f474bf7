// The input level meter: known signals read as their levels (a full-scale sine's RMS is -3.01
// dBFS, a half-scale one 6 dB lower), a clip shows only at the extreme codes of either format and
// stays until the next recording; and the transport measures what the device delivers while it
// records, nothing once it stops.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "TransportFixture.h"
#include "audio/InputLevels.h"

namespace tonmira::test {
namespace {

// Interleaved 16-bit stereo frames: a sine of amplitude left on the left, right on the right.
std::vector<BYTE> StereoSine(int frames, double left, double right, int period = 64)
{
    std::vector<BYTE> bytes;
    const double pi = 2 * std::asin(1.0);
    for (int i = 0; i < frames; ++i)
        for (const double a : {left, right}) {
            const auto v = static_cast<std::int16_t>(std::lround(a * std::sin(2 * pi * i / period)));
            bytes.push_back(static_cast<BYTE>(v & 0xff));
            bytes.push_back(static_cast<BYTE>((v >> 8) & 0xff));
        }
    return bytes;
}

TEST(InputLevelsTest, SinesReadTheirPeakAndRmsPerChannel)
{
    InputLevelMeter meter;
    meter.Reset(2, 16);
    EXPECT_FALSE(meter.Measured());
    const std::vector<BYTE> sine = StereoSine(6400, 32767, 16384);
    meter.Add(sine.data(), sine.size() - 1);  // a partial frame at the end is left out
    ASSERT_TRUE(meter.Measured());
    const ChannelLevel left = meter.Level(0), right = meter.Level(1);
    EXPECT_NEAR(left.rmsDbfs, -3.01, 0.01);
    EXPECT_NEAR(left.peakDbfs, 0.0, 0.01);
    EXPECT_NEAR(right.rmsDbfs, -3.01 - 6.02, 0.01);
    EXPECT_NEAR(right.peakDbfs, -6.02, 0.01);
    // The left sine touches +32767 at its crest: a clip; the right one does not.
    EXPECT_TRUE(left.clipped);
    EXPECT_FALSE(right.clipped);

    // A new batch measures afresh but keeps the clip; silence reads minus infinity.
    meter.NewBatch();
    const std::vector<BYTE> silence(400, 0);
    meter.Add(silence.data(), silence.size());
    EXPECT_TRUE(std::isinf(meter.Level(0).rmsDbfs) && meter.Level(0).rmsDbfs < 0);
    EXPECT_TRUE(meter.Level(0).clipped);
    meter.Reset(2, 16);
    meter.Add(silence.data(), silence.size());
    EXPECT_FALSE(meter.Level(0).clipped);
}

TEST(InputLevelsTest, ClipsAtEitherExtremeOfEitherFormat)
{
    InputLevelMeter meter;
    // Mono frames (two of them, the second silent): 16-bit -32768 and +32767 clip, -32767 does not;
    // 8-bit unsigned 0 and 255 are the extremes, 128 the middle.
    const struct {
        int bits;
        std::vector<BYTE> frames;
        bool clipped;
    } cases[] = {{16, {0x00, 0x80, 0, 0}, true}, {16, {0x01, 0x80, 0, 0}, false}, {16, {0xff, 0x7f, 0, 0}, true},
                 {8, {0, 128}, true},            {8, {1, 128}, false},            {8, {255, 128}, true}};
    for (const auto& c : cases) {
        meter.Reset(1, c.bits);
        meter.Add(c.frames.data(), c.frames.size());
        EXPECT_EQ(meter.Level(0).clipped, c.clipped) << c.bits << " bits, first byte " << int(c.frames[0]);
    }
    meter.Reset(1, 8);
    const BYTE full[] = {0, 0};  // -128 of 128: full scale
    meter.Add(full, sizeof full);
    EXPECT_NEAR(meter.Level(0).peakDbfs, 0.0, 1e-9);
}

struct InputLevelRecording : TransportFixture {
    InputLevelRecording() { SetFormat(8000, 16, 2, 256); }
};

TEST_F(InputLevelRecording, TheTransportMeasuresWhatItRecords)
{
    backend.SetInputTake(StereoSine(40000, 16384, 4096));
    EXPECT_FALSE(transport->InputLevel().Measured());
    transport->OnRecord();
    RunFor(1000);
    ASSERT_TRUE(transport->InputLevel().Measured());
    EXPECT_NEAR(transport->InputLevel().Level(0).rmsDbfs, -9.03, 0.05);
    EXPECT_NEAR(transport->InputLevel().Level(1).rmsDbfs, -21.07, 0.05);
    EXPECT_FALSE(transport->InputLevel().Level(0).clipped);
    transport->OnStop();
    EXPECT_FALSE(transport->InputLevel().Measured()) << "no level once stopped";
}

}  // namespace
}  // namespace tonmira::test
