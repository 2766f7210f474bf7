#include "view/GraphGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

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

std::vector<GdiLine> WaveformColumns(const PixelRect& w, int count, int n, int fullScale,
                                     const std::function<int(int)>& valueAt)
{
    std::vector<GdiLine> lines;
    if (n < 2 || fullScale < 1 || w.right <= w.left)
        return lines;
    const int half = (w.bottom - w.top) / 2;
    const int y0 = w.top + half;
    const int width = w.right - w.left;
    const long long available = count < n ? count : n;
    // Sample i stands at x = left + width * i / (n - 1), and column c (from the left) is drawn by
    // the first sample beyond it: i = ceil((c + 1) * (n - 1) / width). The quotient and remainder
    // of (c + 1) * (n - 1) are stepped column by column instead of divided for every sample.
    const long long span = n - 1;
    const long long stepWhole = span / width;
    const long long stepPart = span % width;
    long long whole = stepWhole;
    long long part = stepPart;
    lines.reserve(static_cast<std::size_t>(width));
    for (int c = 0; c < width; ++c) {
        const long long i = whole + (part != 0 ? 1 : 0);
        if (i >= available)
            break;
        const int s = valueAt(static_cast<int>(i));
        const int e = s <= 0 ? 1 : -1;
        // Truncates toward zero, as the integer division of the drawing always has.
        const int yEnd = w.top + half + e - static_cast<int>(static_cast<long long>(s) * (half - 1) / fullScale);
        // Starts one pixel off the centre line, on the side the sample lies.
        lines.push_back({w.left + c, y0 + e, w.left + c, yEnd});
        whole += stepWhole;
        part += stepPart;
        if (part >= width) {
            part -= width;
            ++whole;
        }
    }
    return lines;
}

std::vector<GdiLine> WaveformColumns(const PixelRect& wave, const int* values, int count, int n, int fullScale)
{
    return WaveformColumns(wave, count, n, fullScale, [values](int i) { return values[i]; });
}

std::vector<GdiLine> SpectrumBars(const PixelRect& r, const int* m, int h, int rate, int minHz, int maxHz,
                                  int spectrumMax, bool logAxis)
{
    std::vector<GdiLine> lines;
    // An area without width or height shows nothing (its clip is empty); no take has a negative rate.
    if (h < 2 || spectrumMax <= 0 || !m || r.right <= r.left || r.bottom <= r.top || rate < 0)
        return lines;
    const long long range = static_cast<long long>(maxHz) - minHz;
    if (range <= 0)
        return lines;
    const long long halfRate = rate / 2;
    const long long areaHeight = r.bottom - r.top + 1;
    const int width = r.right - r.left;
    const auto xAt = [&](long long f) { return logAxis ? LogX(r, f - minHz, range) : LinearX(r, f - minHz, range); };
    // Bin i stands at i * halfRate / (h - 1) Hz; the first bin at or above f Hz, or h.
    const auto firstBinFrom = [&](long long f) {
        if (f <= 0)
            return 0;
        if (halfRate == 0)
            return h;
        const long long i = (f * (h - 1) + halfRate - 1) / halfRate;
        return i < h ? static_cast<int>(i) : h;
    };
    // The lowest frequency above f whose x lies right of x (x being f's), or maxHz.
    const auto nextColumnFrom = [&](long long f, int x) {
        long long g;
        if (!logAxis) {
            g = minHz + (static_cast<long long>(x + 1 - r.left) * range + width - 1) / width;
        } else {
            // The inverse of the axis gives the frequency to within a hertz or two; the exact
            // mapping then decides (it rises with the frequency, one hertz is far above rounding).
            const double offset = std::pow(10.0, (x + 1 - r.left) * std::log10(static_cast<double>(range)) / width);
            g = minHz + static_cast<long long>(std::ceil(std::min(offset, static_cast<double>(range))));
            g = std::clamp(g, f + 1, static_cast<long long>(maxHz));
            while (g > f + 1 && xAt(g - 1) > x)
                --g;
            while (g < maxHz && xAt(g) <= x)
                ++g;
        }
        return std::clamp(g, f + 1, static_cast<long long>(maxHz));
    };
    // Bars in one pixel column share their colour and baseline: only the tallest shows. Each run
    // of bins on one column is found from its frequency bounds, then only its largest magnitude
    // is looked at.
    const int end = firstBinFrom(maxHz);
    for (int i = firstBinFrom(static_cast<long long>(minHz) + 1); i < end;) {
        const long long f = static_cast<long long>(i) * halfRate / (h - 1);
        const int x = xAt(f);
        const int next = std::min(end, firstBinFrom(nextColumnFrom(f, x)));
        int top = 0;
        for (int k = i; k < next; ++k)
            top = std::max(top, m[k]);
        if (top > 0) {
            if (areaHeight * top / spectrumMax <= std::numeric_limits<int>::max()) {
                // A bar 1 high paints only its baseline row, which lies just below the area.
                const int barHeight = static_cast<int>(areaHeight * top / spectrumMax);
                if (barHeight > 1)
                    lines.push_back({x, r.bottom, x, r.bottom - barHeight});
            } else {
                // Heights that wrap around (a magnitude far above spectrumMax) are not ordered
                // by their magnitude: every bar of the column is kept, as computed.
                for (int k = i; k < next; ++k)
                    if (m[k] > 0)
                        lines.push_back({x, r.bottom, x, r.bottom - static_cast<int>(areaHeight * m[k] / spectrumMax)});
            }
        }
        i = next;
    }
    return lines;
}

}  // namespace tonmira::view
