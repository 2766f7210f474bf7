#include "view/GraphGeometry.h"

#include <cmath>
#include <cstdint>

namespace tonmira::view {

namespace {

constexpr int kLinearSteps[] = {1000000, 100000, 10000, 1000, 100};
constexpr int kFallbackStep = 10;

int LogX(const PixelRect& r, long long offsetHz, long long range)
{
    return r.left + static_cast<int>(std::log10(static_cast<double>(offsetHz)) * (r.right - r.left) /
                                     std::log10(static_cast<double>(range)));
}

int LinearX(const PixelRect& r, long long offsetHz, long long range)
{
    // 64 bits: a wide area times a frequency offset of up to a megahertz overflows 32.
    return r.left + static_cast<int>(offsetHz * (r.right - r.left) / range);
}

}  // namespace

const std::vector<int>& LogGridFrequencies()
{
    static const std::vector<int> frequencies = [] {
        std::vector<int> f;
        for (int decade = 1; decade <= 100000; decade *= 10)
            for (int k = (decade == 1 ? 1 : 2); k <= 10; ++k)
                f.push_back(k * decade);
        return f;
    }();
    return frequencies;
}

std::vector<int> GridLineXs(const PixelRect& r, int minHz, int maxHz, bool logAxis)
{
    std::vector<int> xs;
    const long long range = static_cast<long long>(maxHz) - minHz;
    if (range <= 2)
        return xs;
    if (logAxis) {
        for (int d : LogGridFrequencies()) {
            if (d < minHz)
                continue;
            if (d > maxHz)
                break;
            if (d == minHz)
                continue;  // log10(0): no visible line
            xs.push_back(LogX(r, d - minHz, range));
        }
        return xs;
    }
    long long step = kFallbackStep;
    for (int candidate : kLinearSteps)
        if (range / candidate >= 3) {
            step = candidate;
            break;
        }
    long long k = minHz <= 0 ? 1 : (minHz + step - 1) / step;
    for (; k * step < maxHz; ++k)
        xs.push_back(LinearX(r, k * step - minHz, range));
    return xs;
}

std::vector<GdiLine> GridLines(const PixelRect& r, int minHz, int maxHz, bool logAxis)
{
    std::vector<GdiLine> lines;
    for (int x : GridLineXs(r, minHz, maxHz, logAxis))
        lines.push_back({x, r.bottom, x, r.top - 1});
    return lines;
}

GdiLine CentreLine(const PixelRect& wave)
{
    const int y0 = wave.top + (wave.bottom - wave.top) / 2;
    return {wave.left, y0, wave.right, y0};
}

std::vector<GdiLine> WaveformColumns(const PixelRect& w, const int* values, int count, int n, int fullScale)
{
    std::vector<GdiLine> lines;
    if (n < 2 || fullScale < 1)
        return lines;
    const int half = (w.bottom - w.top) / 2;
    const int y0 = w.top + half;
    const std::uint64_t width = static_cast<std::uint64_t>(w.right > w.left ? w.right - w.left : 0);
    int column = w.left;
    for (int i = 0; i < count && i < n; ++i) {
        const int x = w.left + static_cast<int>(width * static_cast<std::uint64_t>(i) / static_cast<std::uint64_t>(n - 1));
        const int s = values[i];
        const int e = s <= 0 ? 1 : -1;
        // Truncates toward zero, as the integer division of the drawing always has.
        const int yEnd = w.top + half + e - static_cast<int>(static_cast<long long>(s) * (half - 1) / fullScale);
        // Starts one pixel off the centre line, on the side the sample lies.
        for (; column < x; ++column)
            lines.push_back({column, y0 + e, column, yEnd});
    }
    return lines;
}

std::vector<GdiLine> SpectrumBars(const PixelRect& r, const int* m, int h, int rate, int minHz, int maxHz,
                                  int spectrumMax, bool logAxis)
{
    std::vector<GdiLine> lines;
    if (h < 2 || spectrumMax <= 0 || !m)
        return lines;
    const long long range = static_cast<long long>(maxHz) - minHz;
    if (range <= 0)
        return lines;
    const long long halfRate = rate / 2;
    const long long areaHeight = r.bottom - r.top + 1;
    for (int i = 0; i < h; ++i) {
        if (m[i] <= 0)
            continue;
        const long long f = static_cast<long long>(i) * halfRate / (h - 1);
        if (f <= minHz || f >= maxHz)
            continue;
        const int barHeight = static_cast<int>(areaHeight * m[i] / spectrumMax);
        const int x = logAxis ? LogX(r, f - minHz, range) : LinearX(r, f - minHz, range);
        lines.push_back({x, r.bottom, x, r.bottom - barHeight});
    }
    return lines;
}

}  // namespace tonmira::view
