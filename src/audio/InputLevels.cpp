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
    const std::size_t sampleBytes = m_nBits / 8;
    const std::size_t frames = bytes / (sampleBytes * static_cast<std::size_t>(m_nChannels));
    for (std::size_t f = 0; f < frames; ++f)
        for (int c = 0; c < m_nChannels; ++c) {
            const BYTE* at = data + (f * static_cast<std::size_t>(m_nChannels) + static_cast<std::size_t>(c)) * sampleBytes;
            int v;
            bool clipped;
            if (m_nBits == 16) {
                v = static_cast<std::int16_t>(static_cast<std::uint16_t>(at[0] | (at[1] << 8)));
                clipped = v == -32768 || v == 32767;
            } else {
                v = static_cast<int>(at[0]) - 128;
                clipped = at[0] == 0 || at[0] == 255;
            }
            m_nPeak[c] = std::max(m_nPeak[c], std::abs(v));
            m_dSquares[c] += static_cast<double>(v) * v;
            m_bClipped[c] = m_bClipped[c] || clipped;
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
