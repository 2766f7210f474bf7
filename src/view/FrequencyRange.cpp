#include "view/FrequencyRange.h"

namespace tonmira::view {

SpinStep StepMaxFrequency(int position, int delta, int minFreq, int halfRate)
{
    const int v = position + delta;
    if (v > minFreq) {
        if (v > halfRate)
            return {halfRate, false};
        return {v, true};
    }
    return {minFreq + 1, false};
}

SpinStep StepMinFrequency(int position, int delta, int maxFreq)
{
    const int v = position + delta;
    if (delta < 0 && v < 0)
        return {0, false};
    if (delta <= 0)
        return {v, true};
    if (v < maxFreq)
        return {v, true};
    return {maxFreq - 1, false};
}

std::string RangeMessageOnLeave(int minFreq, int maxFreq, bool leavingMaxEdit)
{
    if (minFreq < maxFreq)
        return {};
    return leavingMaxEdit ? kEnterAboveMinimum : kEnterBelowMaximum;
}

int SpinAcceleration(int heldMs)
{
    if (heldMs >= 2000)
        return 100;
    if (heldMs >= 1000)
        return 10;
    return 1;
}

}  // namespace tonmira::view
