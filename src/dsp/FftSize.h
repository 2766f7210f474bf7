#pragma once
// The FFT sizes the view offers (16 x 2^k, k = 0..13) and the default size for a sampling rate.
#include "base/Types.h"

namespace tonmira {

constexpr int kFftSizeCount = 14;
constexpr int kMinFftSize = 16;
constexpr int kMaxFftSize = 131072;

// Index k of the default size for a rate: floor(log2(rate / 160)), 0 when rate / 160 is 0.
inline int DefaultFftSizeIndex(UINT rate)
{
    UINT q = rate / 160;
    int k = 0;
    while (q > 1) {
        q >>= 1;
        ++k;
    }
    return k < kFftSizeCount ? k : kFftSizeCount - 1;
}

// 8000 Hz -> 512, 22050 -> 2048, 44100 and 48000 -> 4096, 96000 -> 8192.
inline int DefaultFftSize(UINT rate) { return kMinFftSize << DefaultFftSizeIndex(rate); }

}  // namespace tonmira
