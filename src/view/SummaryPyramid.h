#pragma once
// A min/max summary of a take's mono samples at several resolutions, so that a strip a few
// hundred pixels wide can show hours of sound without reading every sample on each paint.
// Level 0 holds the smallest and largest value of each block of kBaseBlock samples; every next
// level combines kFactor blocks of the level below. Memory: about 11 / kBaseBlock bytes per
// sample with every level (about 2 % of a 16-bit take).
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "base/SampleMath.h"

namespace tonmira::view {

struct MinMax {
    int min = 0;
    int max = 0;
    bool operator==(const MinMax&) const = default;
};

// Signed sample values of a mono take: 16-bit little-endian, or 8-bit as byte - 128.
struct MonoSamples {
    const unsigned char* data = nullptr;
    std::uint64_t frames = 0;
    bool eightBit = false;

    int At(std::uint64_t i) const { return SampleAt(data, eightBit ? 8 : 16, static_cast<std::size_t>(i)); }
};

class SummaryPyramid {
public:
    static constexpr int kBaseBlock = 256;
    static constexpr int kFactor = 4;

    // Builds every level from samples (which must stay unchanged and alive while the pyramid
    // is used). Any thread; cancel is polled every few thousand blocks and a cancelled build
    // returns false leaving the pyramid empty. progress (0..1, may be empty) is called from the
    // building thread now and then.
    bool Build(const MonoSamples& samples, const std::atomic<bool>& cancel,
               const std::function<void(double)>& progress = {});

    bool Empty() const { return m_levels.empty(); }
    int LevelCount() const { return static_cast<int>(m_levels.size()); }
    // Samples per block of level k.
    std::uint64_t BlockSize(int level) const;
    const std::vector<MinMax>& Level(int level) const { return m_levels[static_cast<std::size_t>(level)]; }
    std::uint64_t Frames() const { return m_samples.frames; }

    // Exact smallest and largest sample of frames first..last-1 (first < last <= Frames()):
    // whole blocks from the coarsest level that fits, the edges from finer levels and at last
    // from the samples themselves, so the cost grows with the number of levels, not the span.
    MinMax Query(std::uint64_t first, std::uint64_t last) const;

    // Bytes held by the levels.
    std::size_t MemoryBytes() const;

private:
    MinMax QueryLevel(int level, std::uint64_t first, std::uint64_t last) const;

    MonoSamples m_samples;
    std::vector<std::vector<MinMax>> m_levels;
};

}  // namespace tonmira::view
