#pragma once
// Pixel coordinates of everything drawn in the two graph areas, as plain data: the centre line,
// the frequency grid, the waveform columns and the spectrum bars. Integer arithmetic throughout,
// except the logarithmic axis. The widget only strokes what these return.
#include <functional>
#include <vector>

#include "view/PixelRect.h"

namespace tonmira::view {

// A line drawn from (x0, y0) towards (x1, y1); the end point itself is not painted, so a line
// that starts where it ends paints nothing.
struct GdiLine {
    int x0, y0, x1, y1;
    bool operator==(const GdiLine&) const = default;
};

// The 55 grid frequencies of the logarithmic axis, 1 Hz to 1 MHz, rising.
const std::vector<int>& LogGridFrequencies();

// x of every grid line over minHz..maxHz on the spectrum rectangle; none when the range is 2 Hz
// or less. Linear: the largest of 1000000, 100000, 10000, 1000, 100 Hz that fits three times into
// the range, else 10 Hz, at its multiples from minHz up to below maxHz. Logarithmic: the grid
// frequencies from minHz to maxHz, at log10(f - minHz) of log10(range); one equal to minHz gives
// no line.
std::vector<int> GridLineXs(const PixelRect& spectrum, int minHz, int maxHz, bool logAxis);

// The vertical grid lines for those x, bottom to one above the top.
std::vector<GdiLine> GridLines(const PixelRect& spectrum, int minHz, int maxHz, bool logAxis);

// Centre line of the waveform area.
GdiLine CentreLine(const PixelRect& wave);

// Waveform columns for the window of n samples whose first `count` exist (count <= n, fewer at
// the end of the take); valueAt(i) gives sample i as a signed value (8-bit data as byte - 128),
// fullScale is the divisor (32768 for 16 bits, 128 for 8 bits, or the capture divisor while
// recording). Each area column is drawn once, by the first sample that reaches it; only those
// samples are asked for, in rising order.
std::vector<GdiLine> WaveformColumns(const PixelRect& wave, int count, int n, int fullScale,
                                     const std::function<int(int)>& valueAt);

// The same for the window's values given as an array.
std::vector<GdiLine> WaveformColumns(const PixelRect& wave, const int* values, int count, int n, int fullScale);

// Spectrum bars for bins 0..h-1 with a magnitude above 0 whose frequency i * (rate / 2) / (h - 1)
// lies strictly between minHz and maxHz; a magnitude of spectrumMax reaches the top of the area.
// Bars falling on one pixel column cover each other from the same baseline (the row just below
// the area): only the tallest is returned, and only when it reaches into the area, so there are
// at most as many as the area is wide.
std::vector<GdiLine> SpectrumBars(const PixelRect& spectrum, const int* magnitudes, int h, int rate, int minHz,
                                  int maxHz, int spectrumMax, bool logAxis);

}  // namespace tonmira::view
