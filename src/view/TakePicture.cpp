#include "view/TakePicture.h"

#include <algorithm>
#include <cmath>

#include "view/ColourMap.h"
#include "view/SonogramTiles.h"

namespace tonmira::view {

int ColumnOfFrame(double frame, std::uint64_t frames, int width)
{
    if (frames == 0 || width <= 0)
        return 0;
    const auto x = static_cast<long long>(std::floor(frame * width / static_cast<double>(frames)));
    return static_cast<int>(std::clamp<long long>(x, 0, width - 1));
}

namespace {

// The summary bins (first, last) of each picture row, or nothing when the axes give no rows.
std::vector<std::pair<int, int>> SummaryRowBins(const TakeLevelSummary& s, const PictureAxes& a)
{
    SpectrogramLayout layout;
    layout.n = s.N();
    layout.rate = a.rate;
    layout.rows = a.height;
    layout.minHz = a.minHz;
    layout.maxHz = a.maxHz;
    layout.logAxis = a.logAxis;
    std::vector<std::pair<int, int>> rowBins = RowBins(layout);
    if (rowBins.size() != static_cast<std::size_t>(a.height))
        return {};
    const int bins = s.Bins();
    for (auto& [first, last] : rowBins) {
        first = std::min(first / s.BinGroup(), bins - 1);
        last = std::min(last / s.BinGroup(), bins - 1);
    }
    return rowBins;
}

}  // namespace

void SummaryRows::Use(const TakeLevelSummary& s, const PictureAxes& a)
{
    std::vector<std::pair<int, int>> rowBins = s.Empty() ? std::vector<std::pair<int, int>>{} : SummaryRowBins(s, a);
    if (m_pSummary == &s && m_nGeneration == s.Generation() && rowBins == m_rowBins)
        return;
    m_pSummary = &s;
    m_nGeneration = s.Generation();
    m_rowBins = std::move(rowBins);
    m_rows.assign(static_cast<std::size_t>(s.Blocks()) * m_rowBins.size(), 0);
    m_have.assign(static_cast<std::size_t>(s.Blocks()), 0);
    // Each row as two runs of 2^k bins that overlap and cover its bins.
    m_lookups.clear();
    int levels = 0;
    for (const auto& [first, last] : m_rowBins) {
        const int length = last - first + 1;
        int k = 0;
        while ((2 << k) <= length)
            ++k;
        m_lookups.push_back({k - 1, first, last - (1 << k) + 1});
        levels = std::max(levels, k);
    }
    m_runs.assign(static_cast<std::size_t>(levels), std::vector<std::uint8_t>(static_cast<std::size_t>(s.Bins())));
}

const std::uint8_t* SummaryRows::Rows(std::int64_t b)
{
    const std::size_t height = m_rowBins.size();
    std::uint8_t* rows = m_rows.data() + static_cast<std::size_t>(b) * height;
    if (m_have[static_cast<std::size_t>(b)])
        return rows;
    const std::uint8_t* block = m_pSummary->Block(b);
    const int bins = m_pSummary->Bins();
    // m_runs[k][j]: the largest of bins j .. j + 2^(k+1) - 1 (as far as they go).
    const std::uint8_t* below = block;
    for (std::size_t k = 0, half = 1; k < m_runs.size(); ++k, half *= 2) {
        std::uint8_t* runs = m_runs[k].data();
        const int reach = bins - static_cast<int>(half);
        const std::uint8_t* ahead = below + half;
        for (int j = 0; j < reach; ++j)
            runs[j] = ahead[j] > below[j] ? ahead[j] : below[j];
        std::copy(below + std::max(reach, 0), below + bins, runs + std::max(reach, 0));
        below = runs;
    }
    for (std::size_t r = 0; r < height; ++r) {
        const Lookup& l = m_lookups[r];
        const std::uint8_t* runs = l.runs < 0 ? block : m_runs[static_cast<std::size_t>(l.runs)].data();
        rows[r] = runs[l.second] > runs[l.first] ? runs[l.second] : runs[l.first];
    }
    m_have[static_cast<std::size_t>(b)] = 1;
    return rows;
}

std::vector<std::uint8_t> WholeTakeLevels(const TakeLevelSummary& s, const PictureAxes& a, SummaryRows* rows)
{
    return RangeLevels(s, a, 0.0, a.width > 0 ? static_cast<double>(s.Take().frames) / a.width : 1.0, rows);
}

std::vector<std::uint8_t> RangeLevels(const TakeLevelSummary& s, const PictureAxes& a, double fromFrame,
                                      double framesPerColumn, SummaryRows* kept)
{
    const int width = std::max(a.width, 0), height = std::max(a.height, 0);
    std::vector<std::uint8_t> levels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    if (s.Empty() || width == 0 || height == 0)
        return levels;
    const std::int64_t blocks = s.Blocks();
    // The centres of each block's first and last window, rising with the block.
    std::vector<double> lo(static_cast<std::size_t>(blocks)), hi(static_cast<std::size_t>(blocks));
    std::vector<std::int64_t> done;
    for (std::int64_t b = 0; b < blocks; ++b) {
        lo[static_cast<std::size_t>(b)] = s.WindowCentre(b * s.WindowsPerBlock());
        hi[static_cast<std::size_t>(b)] = s.WindowCentre(std::min((b + 1) * s.WindowsPerBlock(), s.Windows()) - 1);
        if (s.BlockDone(b))
            done.push_back(b);
    }
    if (done.empty())
        return levels;
    SummaryRows once;
    SummaryRows& rows = kept ? *kept : once;
    rows.Use(s, a);
    if (rows.Height() != height)
        return levels;

    const double frames = static_cast<double>(s.Take().frames);
    std::vector<std::uint8_t> column(static_cast<std::size_t>(height));
    for (int x = 0; x < width; ++x) {
        const double from = fromFrame + framesPerColumn * x;
        const double to = fromFrame + framesPerColumn * (x + 1);
        if (from >= frames)
            break;  // past the take's end: left dark
        std::fill(column.begin(), column.end(), 0);
        bool any = false;
        auto b = static_cast<std::int64_t>(std::lower_bound(hi.begin(), hi.end(), from) - hi.begin());
        for (; b < blocks && lo[static_cast<std::size_t>(b)] < to; ++b) {
            if (!s.BlockDone(b))
                continue;
            // Plain pointers and comparisons: the same code, and no call per row where a build
            // does not inline (this runs on the UI thread for every block under every column).
            const std::uint8_t* block = rows.Rows(b);
            std::uint8_t* pooled = column.data();
            for (int r = 0; r < height; ++r)
                pooled[r] = block[r] > pooled[r] ? block[r] : pooled[r];
            any = true;
        }
        if (!any) {
            // No finished window centred here: the nearest finished block, by its middle.
            const double middle = (from + to) / 2.0;
            auto mid = [&](std::int64_t k) { return (lo[static_cast<std::size_t>(k)] + hi[static_cast<std::size_t>(k)]) / 2.0; };
            auto it = std::lower_bound(done.begin(), done.end(), middle,
                                       [&](std::int64_t k, double v) { return mid(k) < v; });
            std::int64_t nearest = it == done.end() ? done.back() : *it;
            if (it != done.begin() && (it == done.end() || middle - mid(*std::prev(it)) <= mid(*it) - middle))
                nearest = *std::prev(it);
            std::copy_n(rows.Rows(nearest), height, column.begin());
        }
        std::uint8_t* out = levels.data() + x;
        for (int r = 0; r < height; ++r)
            out[static_cast<std::ptrdiff_t>(r) * width] = column.data()[r];
    }
    return levels;
}

std::vector<std::uint32_t> ColourPixels(const std::vector<std::uint8_t>& levels)
{
    const auto& colours = ViridisTable();
    std::vector<std::uint32_t> pixels(levels.size());
    std::transform(levels.begin(), levels.end(), pixels.begin(), [&](std::uint8_t l) { return colours[l]; });
    return pixels;
}

}  // namespace tonmira::view
