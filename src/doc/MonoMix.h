#pragma once
// The balance mix of a two-channel take into its mono buffer, with the peak found in the same
// pass. Both run over the whole take at every load, so the even mix of a load has a fast path.
#include <cstddef>

#include "base/Types.h"

namespace tonmira {

// Bytes of a one-channel buffer (mono, reverse) of n frames: 8-bit buffers carry one spare byte.
inline std::size_t OneChannelBytes(UINT n, int bits)
{
    return bits == 16 ? 2 * static_cast<std::size_t>(n) : static_cast<std::size_t>(n) + 1;
}

// The weights of the two channels at a balance of 0 (left only) to 100 (right only); a balance
// outside that range would scale samples beyond their range, so it counts as the nearest end.
void BalanceWeights(int balance, float& left, float& right);

// mono[i] = trunc(left x L + right x R) for n interleaved 16-bit frames (L, R), the sum taken
// exactly and clamped to 16 bits. Returns the largest of peak, |L| and |R| (up to 32768).
int MixStereo16(const BYTE* frames, UINT n, float left, float right, BYTE* mono, int peak);

// The same for 8-bit frames of unsigned bytes, mixed as they are (128 stays silence) and
// clamped to 0..255; the peak counts |L - 128| and |R - 128|.
int MixStereo8(const BYTE* frames, UINT n, float left, float right, BYTE* mono, int peak);

}  // namespace tonmira
