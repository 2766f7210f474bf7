#include "view/TakeLevelSummary.h"

#include <algorithm>

#include "base/ThreadPriority.h"
#include "dsp/FftEngine.h"
#include "view/SonogramTiles.h"

namespace tonmira::view {

namespace {

// Strides of the coarse stages, in blocks; the last stage takes the rest.
constexpr std::int64_t kStageStrides[] = {64, 16, 4, 1};

// Held levels stay within 4 % of a 16-bit take, unless that would leave fewer blocks than this:
// a picture 1600 pixels wide then still has two or more blocks per column.
constexpr std::int64_t kMinBlocks = 4096;

}  // namespace

TakeLevelSummary::TakeLevelSummary(int threads) : m_nThreads(std::max(threads, 1)) {}

TakeLevelSummary::~TakeLevelSummary() { Cancel(); }

std::uint64_t TakeLevelSummary::WindowStart(std::int64_t k) const
{
    const auto n = static_cast<std::uint64_t>(m_nN);
    if (m_take.frames <= n)
        return 0;
    // The last window ends on the take's last frame, so the tail is covered without zero padding.
    return std::min(static_cast<std::uint64_t>(k) * (n / 2), m_take.frames - n);
}

double TakeLevelSummary::WindowCentre(std::int64_t k) const
{
    if (m_take.frames <= static_cast<std::uint64_t>(m_nN))
        return static_cast<double>(m_take.frames) / 2.0;
    return static_cast<double>(WindowStart(k)) + m_nN / 2.0;
}

void TakeLevelSummary::Start(const MonoSamples& take, int n, Notify notify)
{
    Clear();
    if (!take.data || take.frames == 0 || n < 16)
        return;
    m_take = take;
    m_nN = n;
    m_notify = std::move(notify);
    const auto half = static_cast<std::uint64_t>(n / 2);
    m_nWindows = take.frames <= static_cast<std::uint64_t>(n)
                     ? 1
                     : static_cast<std::int64_t>((take.frames - static_cast<std::uint64_t>(n) + half - 1) / half + 1);
    m_nBinGroup = std::max(1, (n / 2) / kMaxStoredBins);
    m_nBins = (n / 2) / m_nBinGroup;
    const std::uint64_t budget = take.frames * (take.eightBit ? 1 : 2) / 25;
    m_nPerBlock = 1;
    while (m_nPerBlock < 1024 && m_nWindows / (2 * m_nPerBlock) >= kMinBlocks &&
           static_cast<std::uint64_t>((m_nWindows + m_nPerBlock - 1) / m_nPerBlock) * static_cast<std::uint64_t>(m_nBins) > budget)
        m_nPerBlock *= 2;
    m_nBlocks = (m_nWindows + m_nPerBlock - 1) / m_nPerBlock;
    m_nLevelBytes = static_cast<std::size_t>(m_nBlocks) * static_cast<std::size_t>(m_nBins);
    m_pLevels = std::make_unique_for_overwrite<std::uint8_t[]>(m_nLevelBytes);
    m_pDone = std::make_unique<std::atomic<std::uint8_t>[]>(static_cast<std::size_t>(m_nBlocks));
    for (std::int64_t b = 0; b < m_nBlocks; ++b)
        m_pDone[static_cast<std::size_t>(b)].store(0, std::memory_order_relaxed);

    m_order.reserve(static_cast<std::size_t>(m_nBlocks));
    std::int64_t previous = 0;  // stride of the stage before: its blocks are taken
    for (const std::int64_t stride : kStageStrides) {
        for (std::int64_t b = 0; b < m_nBlocks; b += stride)
            if (previous == 0 || b % previous != 0)
                m_order.push_back(b);
        auto stage = std::make_unique<Stage>();
        stage->end = static_cast<std::int64_t>(m_order.size());
        m_stages.push_back(std::move(stage));
        previous = stride;
    }

    // The colour level of a magnitude, as MagnitudeLevel gives it, found by a search in a table
    // instead of a logarithm per bin.
    m_levelFloor.assign(256, 0);
    const int fullScale = take.eightBit ? 128 : 32768;
    for (int level = 1; level < 256; ++level) {
        int lo = m_levelFloor[static_cast<std::size_t>(level - 1)], hi = 1 << 30;
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (MagnitudeLevel(mid, n, fullScale) >= level)
                hi = mid;
            else
                lo = mid + 1;
        }
        m_levelFloor[static_cast<std::size_t>(level)] = lo;
    }
    Launch();
}

void TakeLevelSummary::Launch()
{
    m_bCancel.store(false, std::memory_order_relaxed);
    m_nNext.store(0, std::memory_order_relaxed);
    std::int64_t first = 0;
    for (const auto& stage : m_stages) {
        std::int64_t left = 0;
        for (std::int64_t i = first; i < stage->end; ++i)
            left += BlockDone(m_order[static_cast<std::size_t>(i)]) ? 0 : 1;
        stage->left.store(left, std::memory_order_relaxed);
        first = stage->end;
    }
    if (Complete())
        return;
    for (int i = 0; i < m_nThreads; ++i)
        m_threads.emplace_back([this] { Work(); });
}

void TakeLevelSummary::Cancel()
{
    m_bCancel.store(true, std::memory_order_relaxed);
    for (std::thread& t : m_threads)
        t.join();
    m_threads.clear();
}

void TakeLevelSummary::Resume()
{
    if (Running() || Empty())
        return;
    Launch();
}

void TakeLevelSummary::Wait()
{
    for (std::thread& t : m_threads)
        t.join();
    m_threads.clear();
}

void TakeLevelSummary::Clear()
{
    Cancel();
    m_take = {};
    m_nN = 0;
    m_nWindows = m_nBlocks = 0;
    m_nBins = 0;
    m_nPerBlock = m_nBinGroup = 1;
    m_notify = {};
    ++m_nGeneration;
    m_pLevels.reset();
    m_nLevelBytes = 0;
    m_pDone.reset();
    m_order.clear();
    m_stages.clear();
    m_nDone.store(0, std::memory_order_relaxed);
}

int TakeLevelSummary::ProgressPerMille() const
{
    if (m_nBlocks == 0)
        return 0;
    return static_cast<int>(m_nDone.load(std::memory_order_relaxed) * 1000 / m_nBlocks);
}

int TakeLevelSummary::StagesDone() const
{
    int done = 0;
    for (const auto& stage : m_stages) {
        if (stage->left.load(std::memory_order_acquire) != 0)
            break;
        ++done;
    }
    return done;
}

std::size_t TakeLevelSummary::MemoryBytes() const
{
    return m_nLevelBytes + static_cast<std::size_t>(m_nBlocks) * (sizeof(std::uint8_t) + sizeof(std::int64_t)) +
           m_levelFloor.capacity() * sizeof(int);
}

void TakeLevelSummary::Work()
{
    LowerThisThreadsPriority();
    CFftEngine fft;
    if (!fft.Init(m_nN, 1))
        return;
    std::vector<int> magnitudes(static_cast<std::size_t>(m_nN / 2));
    std::vector<int> largest(static_cast<std::size_t>(m_nBins));
    const auto total = static_cast<std::int64_t>(m_order.size());
    const std::int64_t tick = std::max<std::int64_t>(m_nBlocks / 64, 1);
    while (!m_bCancel.load(std::memory_order_relaxed)) {
        const std::int64_t i = m_nNext.fetch_add(1, std::memory_order_relaxed);
        if (i >= total)
            return;
        const std::int64_t block = m_order[static_cast<std::size_t>(i)];
        if (BlockDone(block))
            continue;  // finished before a cancel
        ComputeBlock(fft, block, magnitudes, largest);
        if (m_bCancel.load(std::memory_order_relaxed))
            return;  // possibly incomplete: left for a resume
        m_pDone[static_cast<std::size_t>(block)].store(1, std::memory_order_release);
        const std::int64_t done = m_nDone.fetch_add(1, std::memory_order_acq_rel) + 1;
        const auto stage = std::upper_bound(m_stages.begin(), m_stages.end(), i,
                                            [](std::int64_t v, const auto& s) { return v < s->end; });
        const bool stageDone = (*stage)->left.fetch_sub(1, std::memory_order_acq_rel) == 1;
        if (m_notify && (stageDone || done % tick == 0))
            m_notify();
    }
}

void TakeLevelSummary::ComputeBlock(CFftEngine& fft, std::int64_t block, std::vector<int>& magnitudes,
                                   std::vector<int>& largest)
{
    std::fill(largest.begin(), largest.end(), 0);
    const MonoSamples take = m_take;
    const std::int64_t first = block * m_nPerBlock;
    const std::int64_t last = std::min(first + m_nPerBlock, m_nWindows);
    for (std::int64_t k = first; k < last; ++k) {
        if (m_bCancel.load(std::memory_order_relaxed))
            return;
        const std::uint64_t start = WindowStart(k);
        const std::uint64_t available = std::min<std::uint64_t>(static_cast<std::uint64_t>(m_nN), take.frames - start);
        int i = 0;
        for (; i < static_cast<int>(available); ++i)
            fft.SetSample(i, static_cast<short>(take.At(start + static_cast<std::uint64_t>(i))));
        for (; i < m_nN; ++i)
            fft.SetSample(i, 0);
        fft.Transform(magnitudes.data());
        if (m_nBinGroup == 1) {
            for (int j = 0; j < m_nBins; ++j)
                largest[static_cast<std::size_t>(j)] = std::max(largest[static_cast<std::size_t>(j)], magnitudes[static_cast<std::size_t>(j)]);
        } else {
            for (int j = 0; j < m_nBins; ++j) {
                const int* group = magnitudes.data() + static_cast<std::ptrdiff_t>(j) * m_nBinGroup;
                largest[static_cast<std::size_t>(j)] = std::max(largest[static_cast<std::size_t>(j)], *std::max_element(group, group + m_nBinGroup));
            }
        }
    }
    std::uint8_t* out = m_pLevels.get() + static_cast<std::size_t>(block) * static_cast<std::size_t>(m_nBins);
    const int* floor = m_levelFloor.data();
    for (int j = 0; j < m_nBins; ++j) {
        // The largest level whose floor the magnitude reaches: eight steps without a branch.
        const int m = largest[static_cast<std::size_t>(j)];
        int level = 0;
        for (int step = 128; step > 0; step /= 2)
            level += floor[level + step] <= m ? step : 0;
        out[j] = static_cast<std::uint8_t>(level);
    }
}

}  // namespace tonmira::view
