#pragma once
// One paint of the two graph areas as plain data: the window's samples (the take at the position,
// or the newest capture block while recording) and the analysis's spectrum, as lines to stroke. The widget fills the areas white and strokes these.
#include <cstddef>
#include <optional>
#include <vector>

#include "session/WindowValues.h"
#include "view/GraphGeometry.h"
#include "view/PixelRect.h"

namespace tonmira::view {

class ViewCore;

struct GraphPaint {
    GdiLine centre{};               // black
    std::vector<GdiLine> grid;      // grey
    std::vector<GdiLine> waveform;  // green
    std::vector<GdiLine> bars;      // red
};

// The samples of the window at the position (see session/WindowValues.h).
std::optional<WindowValues> CurrentWindowValues(const ViewCore& core);

// Builds the paint for the two rectangles from the take and the analysis as they are: nothing is
// computed here (the session recomputes the analysis when its inputs change).
GraphPaint BuildGraphPaint(const ViewCore& core, const PixelRect& wave, const PixelRect& spectrum);

}  // namespace tonmira::view
