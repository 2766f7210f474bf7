#pragma once
// Fundamental frequencies of a spectrum: peaks above a detection level, grouped into up to
// 16 harmonic series of up to 16 members, listed strongest series first into five boxes.
// Pure functions on caller-owned tables; the view and the detection-level window each keep
// their own tables.
#include <array>
#include <string>
#include <vector>

namespace tonmira {

constexpr int kPeakGroupCount = 16;
constexpr int kPeakGroupSlots = 16;
constexpr int kFundamentalBoxCount = 5;

// One list per box, in Hz: a series' base first, then its members in the order found.
using FundamentalBoxes = std::array<std::vector<double>, kFundamentalBoxCount>;

// Largest of the fftSize / 2 magnitudes, raised to 50000 (16 bits) or 100 (8 bits).
int FlooredSpectrumMax(const int* spectrum, int fftSize, int bits);

// Clears score and freq and fills them from the spectrum (fftSize / 2 magnitudes): every
// bin above spectrumMax / level (unsigned division) starts a climb to its peak; level 0 picks
// nothing. freq[g][0] is the base of group g, 0.0 marks an empty slot. Reads stay within
// the fftSize / 2 bins.
void PickPeakGroups(const int* spectrum, int fftSize, int rate, int level, int spectrumMax,
                    int score[kPeakGroupCount], double freq[kPeakGroupCount][kPeakGroupSlots]);

// Takes the five strongest groups in turn (ties to the lowest group number), setting the
// score of each taken group to 0; a box stays empty once no group has a score left.
FundamentalBoxes ListFundamentals(int score[kPeakGroupCount], const double freq[kPeakGroupCount][kPeakGroupSlots]);

// A list entry: "%5.1f".
std::string FormatFundamental(double hz);

}  // namespace tonmira
