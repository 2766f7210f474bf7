#pragma once
// The arithmetic of the numeric readouts under the mouse: which frame and frequency a pixel
// stands for, a magnitude as a level relative to full scale, the nearest note, and a peak
// frequency interpolated between FFT bins. Plain numbers; the widget formats them.
#include <optional>
#include <string>
#include <vector>

#include "dsp/FftEngine.h"
#include "view/PixelRect.h"
#include "view/SummaryPyramid.h"

namespace tonmira::view {

// Frequency at fraction t (0..1) along an axis over minHz..maxHz: linear, or (logarithmic) the
// inverse of the graph's log10(f - minHz) / log10(maxHz - minHz), so t = 0 is minHz + 1.
double AxisFrequency(double t, int minHz, int maxHz, bool logAxis);
// Fraction (0..1) along the axis at which frequency hz stands; the inverse of AxisFrequency.
double AxisFraction(double hz, int minHz, int maxHz, bool logAxis);

// Frequency under x in the spectrum area, as the bars are placed. None outside the area or for an
// empty range.
std::optional<double> SpectrumFrequencyAtX(const PixelRect& spectrum, int x, int minHz, int maxHz, bool logAxis);

// Offset (0..n-1) of the window sample under x in the waveform area, as the columns are placed.
std::optional<int> WaveSampleAtX(const PixelRect& wave, int x, int n);

// The bin the spectrum graph draws at frequency hz: bin i stands at i * (rate / 2) / (h - 1).
int GraphBinAt(double hz, int h, int rate);

// Amplitude gain of the engine's window types at a bin (1 Hann 0.5, 2 Hamming 0.54,
// 3 Blackman 0.42, else 1).
double WindowGain(int windowType);
// Level in dB relative to a full-scale sine of the engine's magnitude (trunc(|X| / sqrt(n)))
// for samples whose full scale is fullScale; -inf for 0.
double LevelDbfs(double magnitude, int n, int fullScale, int windowType);

struct NoteReading {
    std::string name;  // "A4", "C#5"; A4 = 440 Hz, equal temperament
    int cents = 0;     // -50..+50 from it
};
std::optional<NoteReading> NearestNote(double hz);

// The frequency of the peak at local maximum bin k of magnitudes m (h values), refined between
// bins by a parabola through the logarithms of bins k-1, k, k+1 (exact for a Gaussian peak, a
// close fit for the Hann window's main lobe); bin k stands at k * rate / n.
double InterpolatedPeakHz(const int* m, int h, int k, int rate, int n);

// The peak near a frequency in the window at a position, from its own Hann-windowed engine so
// that the interpolation does not depend on the analysis' window. UI thread; transforms again only
// when the window's samples differ from the last ones.
class PeakReadout {
public:
    // The strongest bin within +-halfWidthHz (at least two bins) of hz, refined; none when the
    // window holds no take or only silence there.
    std::optional<double> PeakNear(const MonoSamples& take, std::uint64_t position, int n, int rate, double hz,
                                   double halfWidthHz);

private:
    CFftEngine m_fft;
    std::vector<int> m_spectrum;
    // The samples transformed last: a take edited in place or made anew at the same address
    // must not show the old spectrum.
    std::vector<short> m_window;
};

}  // namespace tonmira::view
