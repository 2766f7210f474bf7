#pragma once
// The overview pane's axes as plain data: where time and frequency ticks stand and how they read,
// and what the pointer over the whole take's spectrogram reads.
#include <string>
#include <vector>

namespace tonmira::view {

// The step (seconds) between time ticks along an axis of `seconds` drawn over widthPx pixels: the
// smallest of 1, 2, 5 ms ... 0.5 s, 1, 2, 5, 10, 15, 30 s, 1, 2, 5, 10, 15, 30 min, 1, 2, 5, 10 h
// that keeps ticks minSpacingPx apart. 0 for an empty axis.
double TimeTickStep(double seconds, int widthPx, int minSpacingPx);
// "h:mm:ss", with as many decimals as a step of `step` seconds needs (up to 3).
std::string ClockText(double seconds, double step);

// Ticks (Hz) on a frequency axis minHz..maxHz over heightPx pixels, at least minSpacingPx apart:
// multiples of 1, 2 or 5 x 10^k on a linear axis; 1, 2 and 5 x 10^k on a semi-log one.
std::vector<double> FrequencyTicks(int minHz, int maxHz, bool logAxis, int heightPx, int minSpacingPx);
// "500 Hz", "1.5 kHz", "22.05 kHz".
std::string FrequencyText(double hz);

// The level in dBFS of a colour level of the spectrogram (0 stands for -100 dBFS and below).
double LevelToDbfs(int level);

}  // namespace tonmira::view
