#pragma once
// The whole take's spectrogram as a picture: width x height pixels drawn from a TakeLevelSummary.
// Column x stands for frames [x, x + 1) * frames / width and shows the largest level of every
// window whose centre lies in it; a column narrower than a window's hop shows the window whose
// centre is nearest. Rows follow the spectrum area's frequency axis, highest frequency on top.
// The same function draws the pane and the command line's picture, so both show the same pixels.
#include <cstdint>
#include <utility>
#include <vector>

#include "view/TakeLevelSummary.h"

namespace tonmira::view {

struct PictureAxes {
    int width = 0;
    int height = 0;
    int rate = 0;
    int minHz = 0;
    int maxHz = 0;
    bool logAxis = false;
    bool operator==(const PictureAxes&) const = default;
};

// Each finished block of a summary reduced to a picture's rows (the largest level among each row's
// bins), kept while the summary and the rows stay the same. A picture redrawn as a long build
// goes on then reduces only the blocks finished since it was last drawn, and a column pools a
// few hundred rows per block instead of a few thousand bins.
class SummaryRows {
public:
    // Makes the kept rows those of summary for axes: forgets them when the summary was started
    // again or the rows' bins differ. Owner thread of the summary.
    void Use(const TakeLevelSummary& summary, const PictureAxes& axes);
    // The rows of block b, which must be finished, row 0 at the top.
    const std::uint8_t* Rows(std::int64_t b);
    int Height() const { return static_cast<int>(m_rowBins.size()); }

private:
    const TakeLevelSummary* m_pSummary = nullptr;
    std::uint64_t m_nGeneration = 0;
    std::vector<std::pair<int, int>> m_rowBins;  // summary bins of each row, first and last
    std::vector<std::uint8_t> m_rows;            // blocks x rows
    std::vector<std::uint8_t> m_have;            // per block: its rows are in m_rows
    // Maxima of a block's runs of 2, 4, 8 ... bins, up to the longest row's run: each row is then
    // two look-ups, and the table is made by whole passes over the bins that vectorise.
    std::vector<std::vector<std::uint8_t>> m_runs;
    struct Lookup {
        int runs;    // -1: the bins themselves, else m_runs[runs]
        int first;   // the two runs' first bins
        int second;
    };
    std::vector<Lookup> m_lookups;  // per row
};

// Colour levels (0..255), row after row, row 0 at the top. While the summary is built, columns
// without a finished block show the nearest finished one (a coarse picture); nothing finished
// gives all 0. rows, when given, keeps the reduced blocks for the next call.
std::vector<std::uint8_t> WholeTakeLevels(const TakeLevelSummary& summary, const PictureAxes& axes,
                                          SummaryRows* rows = nullptr);

// The same for a zoomed view: column x stands for frames [fromFrame + x * framesPerColumn,
// fromFrame + (x + 1) * framesPerColumn); columns past the take's end stay 0. A block of the
// summary wider than a column shows in every column it covers.
std::vector<std::uint8_t> RangeLevels(const TakeLevelSummary& summary, const PictureAxes& axes, double fromFrame,
                                      double framesPerColumn, SummaryRows* rows = nullptr);

// The levels through the colour map, 0xffRRGGBB per pixel.
std::vector<std::uint32_t> ColourPixels(const std::vector<std::uint8_t>& levels);

// The column (0 .. width - 1) that shows frame position frame of a take of frames frames.
int ColumnOfFrame(double frame, std::uint64_t frames, int width);

}  // namespace tonmira::view
