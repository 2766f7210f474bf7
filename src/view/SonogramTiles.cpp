#include "view/SonogramTiles.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "base/ThreadPriority.h"
#include "view/Readout.h"

namespace tonmira::view {

std::vector<std::pair<int, int>> RowBins(const SpectrogramLayout& l)
{
    std::vector<std::pair<int, int>> rows;
    const int h = l.n / 2;
    if (l.rows <= 0 || h < 2 || l.rate < 2)
        return rows;
    const double binHz = static_cast<double>(l.rate) / l.n;
    for (int r = 0; r < l.rows; ++r) {
        const double hi = AxisFrequency(1.0 - static_cast<double>(r) / l.rows, l.minHz, l.maxHz, l.logAxis);
        const double lo = AxisFrequency(1.0 - static_cast<double>(r + 1) / l.rows, l.minHz, l.maxHz, l.logAxis);
        int first = static_cast<int>(std::ceil(lo / binHz));
        int last = static_cast<int>(std::floor(hi / binHz));
        if (first > last)  // a row narrower than a bin shows the bin nearest its middle
            first = last = static_cast<int>(std::lround((lo + hi) / 2.0 / binHz));
        rows.emplace_back(std::clamp(first, 0, h - 1), std::clamp(last, 0, h - 1));
    }
    return rows;
}

std::uint8_t MagnitudeLevel(int magnitude, int n, int fullScale)
{
    const double db = LevelDbfs(magnitude, n, fullScale, 1);
    if (!(db > -100.0))
        return 0;
    return static_cast<std::uint8_t>(std::lround(std::min(db + 100.0, 100.0) * 2.55));
}

bool ComputeTile(CFftEngine& fft, const MonoSamples& take, const SpectrogramLayout& l, std::int64_t index,
                 const std::atomic<bool>& cancel, std::vector<std::uint8_t>& levels)
{
    const int n = l.n;
    const int h = n / 2;
    levels.assign(static_cast<std::size_t>(kTileColumns) * static_cast<std::size_t>(std::max(l.rows, 0)), 0);
    if (!take.data || take.frames == 0 || l.rows <= 0 || h < 2 || fft.m_nSize != n || l.columnFrames < 1.0)
        return true;
    const std::vector<std::pair<int, int>> rowBins = RowBins(l);
    const int fullScale = take.eightBit ? 128 : 32768;
    const int spectra = std::clamp(static_cast<int>(l.columnFrames / h), 1, kMaxSpectraPerColumn);
    std::vector<int> magnitudes(static_cast<std::size_t>(h));
    std::vector<int> largest(static_cast<std::size_t>(h));
    for (int c = 0; c < kTileColumns; ++c) {
        const std::int64_t column = index * kTileColumns + c;
        if (column < 0)
            continue;
        const double centreFrame = std::floor(static_cast<double>(column) * l.columnFrames);
        if (centreFrame >= static_cast<double>(take.frames))
            break;
        // The column stands at its first window's centre, not its start: a sound shows where it is.
        const auto startFrame = static_cast<std::uint64_t>(std::max(centreFrame - h, 0.0));
        std::fill(largest.begin(), largest.end(), 0);
        for (int s = 0; s < spectra; ++s) {
            if (cancel.load(std::memory_order_relaxed))
                return false;
            std::uint64_t first = startFrame + static_cast<std::uint64_t>(s) * h;
            // A window running past the take's end would show the cut as a broadband stripe:
            // the last windows end on the take's last frame instead.
            if (take.frames >= static_cast<std::uint64_t>(n))
                first = std::min(first, take.frames - static_cast<std::uint64_t>(n));
            for (int i = 0; i < n; ++i) {
                const std::uint64_t frame = first + static_cast<std::uint64_t>(i);
                fft.SetSample(i, static_cast<short>(frame < take.frames ? take.At(frame) : 0));
            }
            fft.Transform(magnitudes.data());
            for (int k = 0; k < h; ++k)
                largest[static_cast<std::size_t>(k)] = std::max(largest[static_cast<std::size_t>(k)], magnitudes[static_cast<std::size_t>(k)]);
        }
        std::uint8_t* out = levels.data() + static_cast<std::size_t>(c) * static_cast<std::size_t>(l.rows);
        for (int r = 0; r < l.rows; ++r) {
            int m = 0;
            for (int k = rowBins[static_cast<std::size_t>(r)].first; k <= rowBins[static_cast<std::size_t>(r)].second; ++k)
                m = std::max(m, largest[static_cast<std::size_t>(k)]);
            out[r] = MagnitudeLevel(m, n, fullScale);
        }
    }
    return true;
}

SonogramTiles::SonogramTiles(int threads, Ready ready)
    : m_owner(std::this_thread::get_id()), m_ready(std::move(ready))
{
    for (int i = 0; i < std::max(threads, 1); ++i)
        m_threads.emplace_back([this] { Work(); });
}

SonogramTiles::~SonogramTiles()
{
    {
        std::lock_guard lock(m_mutex);
        m_bQuit = true;
        m_queue.clear();
    }
    m_bCancel.store(true, std::memory_order_relaxed);
    m_wake.notify_all();
    for (std::thread& t : m_threads)
        t.join();
}

std::uint64_t SonogramTiles::Reset(const MonoSamples& take, const SpectrogramLayout& layout)
{
    std::unique_lock lock(m_mutex);
    m_queue.clear();
    // Running tiles see the flag at their next spectrum; the wait below is that long at most.
    m_bCancel.store(true, std::memory_order_relaxed);
    m_idle.wait(lock, [this] { return m_nBusy == 0; });
    m_bCancel.store(false, std::memory_order_relaxed);
    m_take = take;
    m_layout = layout;
    const std::uint64_t generation = m_nGeneration.load(std::memory_order_relaxed) + 1;
    // Pairs with the acquire in Generation(): a tile handed out under the new number was made
    // from the new take and layout.
    m_nGeneration.store(generation, std::memory_order_release);
    return generation;
}

void SonogramTiles::Request(std::int64_t index)
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_take.data)
            return;
        if (std::find(m_queue.begin(), m_queue.end(), index) != m_queue.end() ||
            std::find(m_running.begin(), m_running.end(), index) != m_running.end())
            return;
        m_queue.push_back(index);
    }
    m_wake.notify_one();
}

void SonogramTiles::Work()
{
    LowerThisThreadsPriority();
    CFftEngine fft;
    std::vector<std::uint8_t> levels;
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_bQuit || !m_queue.empty(); });
        if (m_bQuit)
            return;
        const std::int64_t index = m_queue.front();
        m_queue.pop_front();
        const MonoSamples take = m_take;
        const SpectrogramLayout layout = m_layout;
        const std::uint64_t generation = m_nGeneration.load(std::memory_order_relaxed);
        ++m_nBusy;
        m_running.push_back(index);
        lock.unlock();

        // Planning is serialised inside the engine; an engine per worker keeps transforms apart.
        if (std::this_thread::get_id() == m_owner)
            m_nOnOwner.fetch_add(1, std::memory_order_relaxed);
        assert(std::this_thread::get_id() != m_owner);
        bool done = true;
        if (fft.m_nSize != layout.n || !fft.IsReady())
            done = fft.Init(layout.n, 1) != 0;
        if (done)
            done = ComputeTile(fft, take, layout, index, m_bCancel, levels);

        lock.lock();
        m_running.erase(std::find(m_running.begin(), m_running.end(), index));
        --m_nBusy;
        // Handed out under the lock, so that a Reset that returned has seen it (or dropped it).
        if (done && generation == m_nGeneration.load(std::memory_order_relaxed) && !m_bCancel.load(std::memory_order_relaxed))
            m_ready(generation, index, std::make_shared<const std::vector<std::uint8_t>>(levels));
        m_idle.notify_all();
    }
}

}  // namespace tonmira::view
