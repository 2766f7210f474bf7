#pragma once
// One paint of the two graph areas as plain data: where the window's samples come from (the take
// at the position, or the newest capture block while recording), the analysis recomputed when its
// flag asks for it, and the lines to stroke. The widget fills the areas white and strokes these.
#include <cstddef>
#include <optional>
#include <vector>

#include "dsp/Fundamentals.h"
#include "view/GraphGeometry.h"
#include "view/PixelRect.h"

namespace tonmira::view {

class ViewCore;

struct GraphPaint {
    GdiLine centre{};               // black
    std::vector<GdiLine> grid;      // grey
    std::vector<GdiLine> waveform;  // green
    std::vector<GdiLine> bars;      // red
    // Set when the analysis ran (or there is nothing to analyse): the five boxes to show.
    std::optional<FundamentalBoxes> boxes;
};

// The window's samples, read in place: signed values (8-bit as byte - 128; captured frames
// averaged over the channels, before scaling) and the divisor that is full scale for them.
struct WindowValues {
    const unsigned char* samples = nullptr;  // the mono take, or the capture block
    int bits = 16;
    int channels = 1;
    std::size_t first = 0;  // frame of the window's first sample
    int count = 0;          // samples the window has (fewer than the FFT size at the end of the take)
    int fullScale = 32768;
    bool fromCapture = false;
    unsigned blockBytes = 0;  // the capture block's size, for the analysis

    // Sample i of the window, 0 <= i < count.
    int ValueAt(int i) const;
};

// The samples of the window at the position, or of the newest capture block while recording
// without a take; nothing when there is neither. Never reads outside the take.
std::optional<WindowValues> CurrentWindowValues(const ViewCore& core);

// Builds the paint for the two rectangles. Runs the transform and the peak picking when the
// recompute flag is set. While the collection worker owns the take only the centre line and the
// grid are drawn and nothing is computed.
GraphPaint BuildGraphPaint(ViewCore& core, const PixelRect& wave, const PixelRect& spectrum);

}  // namespace tonmira::view
