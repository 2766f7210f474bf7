#pragma once
// The rules of the frequency display range (the minimum and maximum edits with their spins):
// after every step m_nMinFreq < m_nMaxFreq holds. Plain data; the widget applies the outcome.
#include <string>

namespace tonmira::view {

// What a spin step did: the new member value, and whether the spin keeps the step (false: the
// spin is put back on the member's value instead).
struct SpinStep {
    int value = 0;
    bool allowed = true;
};

// The maximum's spin moved by delta from position; halfRate is the take's rate / 2.
SpinStep StepMaxFrequency(int position, int delta, int minFreq, int halfRate);
// The minimum's spin moved by delta from position.
SpinStep StepMinFrequency(int position, int delta, int maxFreq);

// Leaving an edit: the message to show when the range is not rising, else empty.
std::string RangeMessageOnLeave(int minFreq, int maxFreq, bool leavingMaxEdit);

// Steps of a held spin button: 1 from the start, 10 after one second, 100 after two.
int SpinAcceleration(int heldMs);

inline constexpr const char* kEnterAboveMinimum = "最低周波数より大きな値を入力してください！";
inline constexpr const char* kEnterBelowMaximum = "最大周波数より小さな値を入力してください！";

}  // namespace tonmira::view
