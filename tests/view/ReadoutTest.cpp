// The readouts' arithmetic: pixel to frequency and sample, levels, notes, interpolated peaks.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "view/GraphGeometry.h"
#include "view/Readout.h"

namespace tonmira::view {
namespace {

const double kPi = 2 * std::asin(1.0);

std::vector<unsigned char> Tone(int frames, double hz, int rate, double amplitude)
{
    std::vector<unsigned char> b;
    for (int i = 0; i < frames; ++i) {
        const auto v = static_cast<std::int16_t>(std::lround(amplitude * std::sin(2 * kPi * hz * i / rate)));
        b.push_back(static_cast<unsigned char>(v & 0xff));
        b.push_back(static_cast<unsigned char>((v >> 8) & 0xff));
    }
    return b;
}

TEST(Readout, PixelsMapBackToWhatTheGraphsDrewThere)
{
    const PixelRect spectrum{10, 200, 610, 400};
    // Every bar the spectrum graph draws reads back its own frequency, to within its pixel's
    // width, on both axes.
    const int rate = 44100;
    const int h = 2048;
    std::vector<int> magnitudes(h, 0);
    for (const bool logAxis : {false, true})
        for (const auto& [minHz, maxHz] : {std::pair{0, 22050}, std::pair{100, 5000}})
            for (int i = 1; i < h; i += 7) {
                magnitudes.assign(h, 0);
                magnitudes[static_cast<std::size_t>(i)] = 1;
                const std::vector<GdiLine> bars = SpectrumBars(spectrum, magnitudes.data(), h, rate, minHz, maxHz, 1, logAxis);
                const double f = static_cast<double>(static_cast<long long>(i) * (rate / 2) / (h - 1));
                if (bars.empty())
                    continue;
                const int x = bars[0].x0;
                EXPECT_LE(*SpectrumFrequencyAtX(spectrum, x, minHz, maxHz, logAxis), f + 1e-9) << logAxis << " " << f;
                if (x < spectrum.right)
                    EXPECT_GT(*SpectrumFrequencyAtX(spectrum, x + 1, minHz, maxHz, logAxis), f) << logAxis << " " << f;
                EXPECT_EQ(GraphBinAt(static_cast<long long>(i) * (rate / 2) / static_cast<double>(h - 1), h, rate), i);
                EXPECT_NEAR(AxisFraction(AxisFrequency(0.37, minHz, maxHz, logAxis), minHz, maxHz, logAxis), 0.37, 1e-12);
            }
    EXPECT_FALSE(SpectrumFrequencyAtX(spectrum, 9, 0, 1000, false));
    EXPECT_FALSE(SpectrumFrequencyAtX(spectrum, 20, 500, 500, false));

    // The waveform sample under each column is the one drawn nearest to it.
    const PixelRect wave{5, 10, 405, 110};
    for (const int n : {16, 4096}) {
        for (int x = wave.left; x <= wave.right; ++x) {
            const int i = *WaveSampleAtX(wave, x, n);
            const double drawnAt = wave.left + static_cast<double>(wave.right - wave.left) * i / (n - 1);
            EXPECT_LE(std::abs(drawnAt - x), 0.5 * (wave.right - wave.left) / (n - 1) + 1e-9) << n << " " << x;
        }
    }
    EXPECT_EQ(GraphBinAt(22050, 2048, 44100), 2047);
    EXPECT_EQ(GraphBinAt(-3, 2048, 44100), 0);
}

TEST(Readout, FullScaleSineReadsZeroDbfsInEveryWindow)
{
    const int n = 1024;
    const int bin = 64;
    for (const int window : {0, 1, 2, 3})
        for (const double amplitude : {32767.0, 16383.5, 327.67}) {
            CFftEngine fft;
            ASSERT_TRUE(fft.Init(n, window));
            for (int i = 0; i < n; ++i)
                fft.SetSample(i, static_cast<short>(std::lround(amplitude * std::sin(2 * kPi * bin * i / n))));
            std::vector<int> m(n / 2);
            fft.Transform(m.data());
            EXPECT_NEAR(LevelDbfs(m[bin], n, 32768, window), 20 * std::log10(amplitude / 32768), 0.05)
                << window << " " << amplitude;
        }
    EXPECT_TRUE(std::isinf(LevelDbfs(0, n, 32768, 1)));
}

TEST(Readout, NearestNoteAndCents)
{
    struct Case {
        double hz;
        const char* name;
        int cents;
    };
    for (const Case& c : {Case{440, "A4", 0}, Case{261.6256, "C4", 0}, Case{445, "A4", 20}, Case{27.5, "A0", 0},
                          Case{1232.8, "D#6", -16}, Case{4186.01, "C8", 0}, Case{16.3516, "C0", 0},
                          Case{452.9, "A#4", -50}}) {
        const auto note = NearestNote(c.hz);
        ASSERT_TRUE(note) << c.hz;
        EXPECT_EQ(note->name, c.name) << c.hz;
        EXPECT_NEAR(note->cents, c.cents, 1) << c.hz;
    }
    EXPECT_FALSE(NearestNote(0));
    EXPECT_FALSE(NearestNote(-5));
}

TEST(Readout, InterpolatedPeakBetweenBins)
{
    const int rate = 44100;
    PeakReadout readout;
    // The promised case, then tones at every quarter between two bins over the range.
    const std::vector<unsigned char> tone = Tone(8192, 1232.8, rate, 12000);
    const MonoSamples take{tone.data(), 8192, false};
    const auto peak = readout.PeakNear(take, 1000, 4096, rate, 1240.0, 30.0);
    ASSERT_TRUE(peak);
    EXPECT_NEAR(*peak, 1232.8, 1.0);
    double worstBins = 0;
    for (const int n : {1024, 4096, 16384})
        for (const double bin : {50.0, n / 8.0, n / 2.0 - 60})
            for (const double fraction : {0.0, 0.25, 0.5, 0.75}) {
                const double hz = (bin + fraction) * rate / n;
                const std::vector<unsigned char> b = Tone(n, hz, rate, 3000);
                const auto p = readout.PeakNear({b.data(), static_cast<std::uint64_t>(n), false}, 0, n, rate, hz + 20, 50);
                ASSERT_TRUE(p) << n << " " << hz;
                worstBins = std::max(worstBins, std::abs(*p - hz) * n / rate);
            }
    EXPECT_LT(worstBins, 0.06);
    // Silence has no peak.
    const std::vector<unsigned char> silence(2 * 4096, 0);
    EXPECT_FALSE(readout.PeakNear({silence.data(), 4096, false}, 0, 4096, rate, 1000, 50));
}

}  // namespace
}  // namespace tonmira::view
