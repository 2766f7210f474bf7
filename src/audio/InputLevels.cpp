#include "audio/InputLevels.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

namespace tonmira {

void InputLevelMeter::Reset(int channels, int bits)
{
    m_nChannels = std::clamp(channels, 1, kMaxChannels);
    m_nBits = bits == 16 ? 16 : 8;
    NewBatch();
    std::fill(std::begin(m_bClipped), std::end(m_bClipped), false);
}

void InputLevelMeter::NewBatch()
{
    m_nFrames = 0;
    std::fill(std::begin(m_nPeak), std::end(m_nPeak), 0);
    std::fill(std::begin(m_dSquares), std::end(m_dSquares), 0.0);
}

void InputLevelMeter::Add(const BYTE* data, std::size_t bytes)
{
    // One pass per channel over plain locals: the tick measures every recorded sample.
    const std::size_t sampleBytes = m_nBits / 8;
    const std::size_t stride = sampleBytes * static_cast<std::size_t>(m_nChannels);
    const std::size_t frames = bytes / stride;
    for (int c = 0; c < m_nChannels; ++c) {
        const BYTE* at = data + static_cast<std::size_t>(c) * sampleBytes;
        int peak = m_nPeak[c];
        std::int64_t squares = 0;  // exact: at most 2^30 per sample, a buffer far below 2^33 samples
        int lowest = 0, highest = 0;
        if (m_nBits == 16) {
            for (std::size_t f = 0; f < frames; ++f, at += stride) {
                const int v = static_cast<std::int16_t>(static_cast<std::uint16_t>(at[0] | (at[1] << 8)));
                lowest = v < lowest ? v : lowest;
                highest = v > highest ? v : highest;
                squares += static_cast<std::int64_t>(v) * v;
            }
            m_bClipped[c] = m_bClipped[c] || lowest == -32768 || highest == 32767;
        } else {
            for (std::size_t f = 0; f < frames; ++f, at += stride) {
                const int v = static_cast<int>(at[0]) - 128;
                lowest = v < lowest ? v : lowest;
                highest = v > highest ? v : highest;
                squares += static_cast<std::int64_t>(v) * v;
            }
            m_bClipped[c] = m_bClipped[c] || lowest == -128 || highest == 127;
        }
        m_nPeak[c] = std::max({peak, -lowest, highest});
        m_dSquares[c] += static_cast<double>(squares);
    }
    m_nFrames += frames;
}

ChannelLevel InputLevelMeter::Level(int c) const
{
    ChannelLevel level;
    if (c < 0 || c >= m_nChannels || m_nFrames == 0) {
        level.peakDbfs = level.rmsDbfs = -std::numeric_limits<double>::infinity();
        return level;
    }
    const double fullScale = m_nBits == 16 ? 32768.0 : 128.0;
    auto db = [&](double v) { return v > 0 ? 20.0 * std::log10(v / fullScale) : -std::numeric_limits<double>::infinity(); };
    level.peakDbfs = db(m_nPeak[c]);
    level.rmsDbfs = db(std::sqrt(m_dSquares[c] / static_cast<double>(m_nFrames)));
    level.clipped = m_bClipped[c];
    return level;
}

}  // namespace tonmira
