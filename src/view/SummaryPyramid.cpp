#include "view/SummaryPyramid.h"

#include <algorithm>

namespace tonmira::view {

namespace {

MinMax Combine(MinMax a, MinMax b) { return {std::min(a.min, b.min), std::max(a.max, b.max)}; }

constexpr MinMax kNone{1 << 30, -(1 << 30)};

}  // namespace

std::uint64_t SummaryPyramid::BlockSize(int level) const
{
    std::uint64_t size = kBaseBlock;
    for (int k = 0; k < level; ++k)
        size *= kFactor;
    return size;
}

bool SummaryPyramid::Build(const MonoSamples& samples, const std::atomic<bool>& cancel,
                           const std::function<void(double)>& progress)
{
    m_levels.clear();
    m_samples = samples;
    if (!samples.data || samples.frames == 0)
        return false;
    std::vector<std::vector<MinMax>> levels;
    const std::uint64_t blocks = (samples.frames + kBaseBlock - 1) / kBaseBlock;
    std::vector<MinMax> base(blocks);
    for (std::uint64_t b = 0; b < blocks; ++b) {
        if (b % 4096 == 0) {
            if (cancel.load(std::memory_order_relaxed))
                return false;
            if (progress)
                progress(static_cast<double>(b) / static_cast<double>(blocks));
        }
        const std::uint64_t end = std::min(samples.frames, (b + 1) * kBaseBlock);
        MinMax m{samples.At(b * kBaseBlock), samples.At(b * kBaseBlock)};
        for (std::uint64_t i = b * kBaseBlock + 1; i < end; ++i) {
            const int v = samples.At(i);
            m.min = std::min(m.min, v);
            m.max = std::max(m.max, v);
        }
        base[b] = m;
    }
    levels.push_back(std::move(base));
    while (levels.back().size() > 1) {
        const std::vector<MinMax>& below = levels.back();
        std::vector<MinMax> next((below.size() + kFactor - 1) / kFactor, kNone);
        for (std::size_t i = 0; i < below.size(); ++i)
            next[i / kFactor] = Combine(next[i / kFactor], below[i]);
        levels.push_back(std::move(next));
    }
    if (progress)
        progress(1.0);
    m_levels = std::move(levels);
    return true;
}

MinMax SummaryPyramid::QueryLevel(int level, std::uint64_t first, std::uint64_t last) const
{
    if (first >= last)
        return kNone;
    if (level < 0) {
        MinMax m = kNone;
        for (std::uint64_t i = first; i < last; ++i) {
            const int v = m_samples.At(i);
            m.min = std::min(m.min, v);
            m.max = std::max(m.max, v);
        }
        return m;
    }
    const std::uint64_t size = BlockSize(level);
    const std::uint64_t firstWhole = (first + size - 1) / size;
    const std::uint64_t lastWhole = last / size;  // one past the last whole block
    if (firstWhole >= lastWhole)
        return QueryLevel(level - 1, first, last);
    MinMax m = kNone;
    const std::vector<MinMax>& blocks = m_levels[static_cast<std::size_t>(level)];
    for (std::uint64_t b = firstWhole; b < lastWhole; ++b)
        m = Combine(m, blocks[b]);
    m = Combine(m, QueryLevel(level - 1, first, firstWhole * size));
    // The take's last block may be short: then lastWhole * size can lie beyond the take.
    m = Combine(m, QueryLevel(level - 1, std::min(last, lastWhole * size), last));
    return m;
}

MinMax SummaryPyramid::Query(std::uint64_t first, std::uint64_t last) const
{
    last = std::min(last, m_samples.frames);
    if (m_levels.empty() || first >= last)
        return {};
    // The coarsest level whose blocks are no longer than a quarter of the span: at most a few
    // dozen blocks plus two edges.
    int level = -1;
    while (level + 1 < LevelCount() && BlockSize(level + 1) * 4 <= last - first)
        ++level;
    return QueryLevel(level, first, last);
}

std::size_t SummaryPyramid::MemoryBytes() const
{
    std::size_t bytes = 0;
    for (const auto& l : m_levels)
        bytes += l.size() * sizeof(MinMax);
    return bytes;
}

}  // namespace tonmira::view
