#include "view/Readout.h"

#include <algorithm>
#include <cmath>

namespace tonmira::view {

double AxisFrequency(double t, int minHz, int maxHz, bool logAxis)
{
    const double range = static_cast<double>(maxHz) - minHz;
    if (range <= 0)
        return minHz;
    t = std::clamp(t, 0.0, 1.0);
    return logAxis ? minHz + std::pow(range, t) : minHz + t * range;
}

double AxisFraction(double hz, int minHz, int maxHz, bool logAxis)
{
    const double range = static_cast<double>(maxHz) - minHz;
    if (range <= 0)
        return 0.0;
    if (!logAxis)
        return (hz - minHz) / range;
    // Below minHz + 1 the logarithm has no place on the axis: it is the axis' start.
    const double offset = std::max(1.0, hz - minHz);
    return range <= 1 ? 0.0 : std::log10(offset) / std::log10(range);
}

std::optional<double> SpectrumFrequencyAtX(const PixelRect& r, int x, int minHz, int maxHz, bool logAxis)
{
    if (x < r.left || x > r.right || r.right <= r.left || maxHz <= minHz)
        return std::nullopt;
    return AxisFrequency(static_cast<double>(x - r.left) / (r.right - r.left), minHz, maxHz, logAxis);
}

std::optional<int> WaveSampleAtX(const PixelRect& r, int x, int n)
{
    if (x < r.left || x > r.right || r.right <= r.left || n < 2)
        return std::nullopt;
    const long long i = (static_cast<long long>(x - r.left) * (n - 1) + (r.right - r.left) / 2) / (r.right - r.left);
    return static_cast<int>(std::clamp<long long>(i, 0, n - 1));
}

int GraphBinAt(double hz, int h, int rate)
{
    if (h < 2 || rate < 2)
        return 0;
    const double bin = hz * (h - 1) / (rate / 2);
    return static_cast<int>(std::clamp(std::lround(bin), 0L, static_cast<long>(h - 1)));
}

double WindowGain(int windowType)
{
    switch (windowType) {
    case 1: return 0.5;
    case 2: return 0.54;
    case 3: return 0.42;
    default: return 1.0;
    }
}

double LevelDbfs(double magnitude, int n, int fullScale, int windowType)
{
    if (magnitude <= 0 || n < 2 || fullScale < 1)
        return -INFINITY;
    // A sine of amplitude A on a bin gives |X| = A * gain * n / 2, which the engine divides by
    // sqrt(n).
    const double fullScaleMagnitude = fullScale * WindowGain(windowType) * std::sqrt(static_cast<double>(n)) / 2.0;
    return 20.0 * std::log10(magnitude / fullScaleMagnitude);
}

std::optional<NoteReading> NearestNote(double hz)
{
    if (!(hz > 0) || !std::isfinite(hz))
        return std::nullopt;
    static const char* const kNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    const double midi = 69.0 + 12.0 * std::log2(hz / 440.0);
    const long note = std::lround(midi);
    if (note < 0 || note > 150)
        return std::nullopt;
    NoteReading r;
    r.name = std::string(kNames[note % 12]) + std::to_string(note / 12 - 1);
    r.cents = static_cast<int>(std::lround((midi - static_cast<double>(note)) * 100.0));
    return r;
}

double InterpolatedPeakHz(const int* m, int h, int k, int rate, int n)
{
    double offset = 0.0;
    if (k > 0 && k + 1 < h && m[k] > 0) {
        // A zero neighbour (silence, truncation) counts as half a unit, keeping the log finite.
        auto ln = [](int v) { return std::log(std::max(v, 0) > 0 ? static_cast<double>(v) : 0.5); };
        const double a = ln(m[k - 1]);
        const double b = ln(m[k]);
        const double c = ln(m[k + 1]);
        const double denominator = a - 2.0 * b + c;
        if (denominator < 0)
            offset = std::clamp(0.5 * (a - c) / denominator, -0.5, 0.5);
    }
    return (k + offset) * rate / static_cast<double>(n);
}

std::optional<double> PeakReadout::PeakNear(const MonoSamples& take, std::uint64_t position, int n, int rate,
                                            double hz, double halfWidthHz)
{
    if (!take.data || take.frames == 0 || n < 16 || rate < 2)
        return std::nullopt;
    const int h = n / 2;
    std::vector<short> window(static_cast<std::size_t>(n), 0);
    for (int i = 0; i < n; ++i) {
        const std::uint64_t frame = position + static_cast<std::uint64_t>(i);
        if (frame < take.frames)
            window[static_cast<std::size_t>(i)] = static_cast<short>(take.At(frame));
    }
    if (m_fft.m_nSize != n || window != m_window) {
        if (!m_fft.Init(n, 1))
            return std::nullopt;
        for (int i = 0; i < n; ++i)
            m_fft.SetSample(i, window[static_cast<std::size_t>(i)]);
        m_spectrum.assign(static_cast<std::size_t>(h), 0);
        m_fft.Transform(m_spectrum.data());
        m_window = std::move(window);
    }
    const double binHz = static_cast<double>(rate) / n;
    const double width = std::max(halfWidthHz, 2.0 * binHz);
    const int from = std::clamp(static_cast<int>(std::floor((hz - width) / binHz)), 1, h - 2);
    const int to = std::clamp(static_cast<int>(std::ceil((hz + width) / binHz)), 1, h - 2);
    int best = -1;
    for (int k = from; k <= to; ++k)
        if (m_spectrum[static_cast<std::size_t>(k)] > 0 &&
            (best < 0 || m_spectrum[static_cast<std::size_t>(k)] > m_spectrum[static_cast<std::size_t>(best)]))
            best = k;
    if (best < 0)
        return std::nullopt;
    return InterpolatedPeakHz(m_spectrum.data(), h, best, rate, n);
}

}  // namespace tonmira::view
