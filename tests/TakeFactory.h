#pragma once
// Takes for tests, installed through the document's own load of PCM frames: every test starts
// from the state a real load leaves (mono buffer and peak, marks over the take, position 0, not
// modified), so a change to what a take carries reaches the tests too.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "base/Types.h"
#include "doc/TonmiraDoc.h"

namespace tonmira::test {

// 16-bit samples, interleaved with `channels` per frame.
inline void LoadTake16(CTonmiraDoc& doc, const std::vector<std::int16_t>& samples, WORD channels = 1,
                       DWORD rate = 44100)
{
    ASSERT_TRUE(doc.LoadPcm(samples.data(), samples.size() * 2, channels, rate, 16));
}

// 8-bit samples as they are stored (unsigned, 128 the zero line), `channels` per frame.
inline void LoadTake8(CTonmiraDoc& doc, const std::vector<BYTE>& samples, WORD channels = 1, DWORD rate = 44100)
{
    ASSERT_TRUE(doc.LoadPcm(samples.data(), samples.size(), channels, rate, 8));
}

// Frames as they are stored (a string or a vector of bytes), `channels` of `bits` each.
template <class Bytes>
void LoadTakeBytes(CTonmiraDoc& doc, const Bytes& bytes, WORD channels, WORD bits, DWORD rate = 44100)
{
    ASSERT_TRUE(doc.LoadPcm(bytes.data(), bytes.size(), channels, rate, bits));
}

// `frames` frames of silence.
inline void LoadSilence(CTonmiraDoc& doc, UINT frames, WORD channels = 1, WORD bits = 16, DWORD rate = 44100)
{
    const std::size_t bytes = std::size_t(frames) * channels * bits / 8;
    const std::vector<BYTE> zero(bytes, bits == 8 ? 128 : 0);
    ASSERT_TRUE(doc.LoadPcm(zero.data(), bytes, channels, rate, bits));
}

}  // namespace tonmira::test
