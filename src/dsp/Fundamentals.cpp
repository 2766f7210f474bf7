#include "dsp/Fundamentals.h"

#include <cmath>
#include <cstdio>

namespace tonmira {

int FlooredSpectrumMax(const int* spectrum, int fftSize, int bits)
{
    int largest = 0;
    for (int i = 0; i < fftSize / 2; ++i)
        if (spectrum[i] > largest)
            largest = spectrum[i];
    const int floor = bits == 8 ? 100 : 50000;
    return largest < floor ? floor : largest;
}

namespace {

// Offers one peak to the groups in order; a peak no group takes is dropped.
void AddToGroups(double f, int strength, int tolerance, int score[kPeakGroupCount],
                 double freq[kPeakGroupCount][kPeakGroupSlots])
{
    for (int g = 0; g < kPeakGroupCount; ++g) {
        double* slots = freq[g];
        if (slots[0] == 0.0) {
            slots[0] = f;
            score[g] = strength;
            return;
        }
        const double base = slots[0];
        const double r = f / base;
        const double n = std::trunc(r + 0.5);
        const double d = f - n * base;
        if (!(-tolerance < d && d < tolerance))
            continue;
        int k = 1;
        while (k < kPeakGroupSlots && slots[k] != 0.0)
            ++k;
        if (k == kPeakGroupSlots)
            continue;
        // A member may not skip too far above the order of the previous member.
        const float previousOrder = static_cast<float>(slots[k - 1] / base);
        if (2.0f * previousOrder < r - 1.0)
            continue;
        slots[k] = f;
        if (strength > score[g])
            score[g] = strength;
        return;
    }
}

}  // namespace

void PickPeakGroups(const int* s, int fftSize, int rate, int level, int spectrumMax,
                    int score[kPeakGroupCount], double freq[kPeakGroupCount][kPeakGroupSlots])
{
    for (int g = 0; g < kPeakGroupCount; ++g) {
        score[g] = 0;
        for (int k = 0; k < kPeakGroupSlots; ++k)
            freq[g][k] = 0.0;
    }
    if (level == 0)
        return;
    const int h = fftSize / 2;
    const int r = rate / 2;
    const double binHz = static_cast<double>(r) / h;
    const int tolerance = r / h;
    const unsigned threshold = static_cast<unsigned>(spectrumMax) / static_cast<unsigned>(level);

    int i = 1;
    while (i < h - 2) {
        if (s[i] < 0 || static_cast<unsigned>(s[i]) <= threshold) {
            ++i;
            continue;
        }
        // Climb while the next two bins do not fall; never past the last bin.
        int j = i - 1;
        while (j + 2 < h && s[j] <= s[j + 2] && s[j] <= s[j + 1])
            ++j;

        const int p = s[j] > s[j + 1] ? j : j + 1;
        // Pair with the larger neighbour (ties to the right); the last bin has only a left one.
        const bool left = p > 0 && (p + 1 >= h || s[p - 1] > s[p + 1]);
        const int k = left ? p - 1 : p;
        const double lower = s[k];
        const double upper = s[k + 1];
        const double weight = lower + upper != 0.0 ? upper / (lower + upper) : 0.0;
        const double f = weight * binHz + static_cast<double>(k) * r / h;

        const int strength = s[j + 1] > s[j] ? s[j + 1] : s[j];
        AddToGroups(f, strength, tolerance, score, freq);

        // Descend the far side of the peak.
        i = j + 1;
        while (i + 1 < h && s[i + 1] < s[i])
            ++i;
        ++i;
    }
}

FundamentalBoxes ListFundamentals(int score[kPeakGroupCount], const double freq[kPeakGroupCount][kPeakGroupSlots])
{
    FundamentalBoxes boxes;
    for (auto& box : boxes) {
        int best = 0;
        for (int g = 1; g < kPeakGroupCount; ++g)
            if (score[g] > score[best])
                best = g;
        if (score[best] <= 0)
            continue;
        score[best] = 0;
        for (int k = 0; k < kPeakGroupSlots && freq[best][k] != 0.0; ++k)
            box.push_back(freq[best][k]);
    }
    return boxes;
}

std::string FormatFundamental(double hz)
{
    char text[64];
    std::snprintf(text, sizeof text, "%5.1f", hz);
    return text;
}

}  // namespace tonmira
