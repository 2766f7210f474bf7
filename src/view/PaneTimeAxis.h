#pragma once
// The overview pane's time axis, zoomed and panned: which frames each pixel column stands for.
// Column x covers frames [(first + x) * fpc, (first + x + 1) * fpc), fpc being the frames per
// column. Panning moves by whole columns, so pictures computed per column stay valid; zooming
// keeps the frame under the pointer where it is. Fitted, the columns share the whole take, as the
// unzoomed picture always did. Plain numbers, any one thread.
#include <cstdint>

namespace tonmira::view {

class PaneTimeAxis {
public:
    // The deepest zoom shows this many analysis windows across the pane.
    static constexpr int kMinWindowsShown = 4;

    // A take of frames frames shown over width columns with windows of n frames. A fitted axis
    // stays fitted; a zoomed one keeps its scale and left edge as far as the new take allows.
    void SetTake(std::uint64_t frames, int width, int n);
    // The whole take across the pane.
    void Fit();
    bool Fitted() const { return m_bFitted; }
    // Zooms by factor (> 1 in, < 1 out) keeping the frame under column x in place; between the
    // whole take and kMinWindowsShown windows. Returns whether the axis changed.
    bool ZoomAt(double x, double factor);
    // Moves the view by columns (positive: later in the take), within the take.
    bool Pan(std::int64_t columns);
    // Moves the view so that frame stands at column x (within the take).
    void Show(double frame, double x);

    double FramesPerColumn() const;
    std::int64_t FirstColumn() const;
    int Width() const { return m_nWidth; }
    std::uint64_t Frames() const { return m_nFrames; }
    // The frame at column position x (fractional: x + 0.5 is a column's middle).
    double FrameAt(double x) const;
    // The column position of frame.
    double ColumnOf(double frame) const;
    // The frames at the left and right edges.
    double FromFrame() const { return FrameAt(0); }
    double ToFrame() const { return FrameAt(m_nWidth); }

private:
    double FittedFramesPerColumn() const;
    double DeepestFramesPerColumn() const;
    void ClampFirst();

    std::uint64_t m_nFrames = 0;
    int m_nWidth = 0;
    int m_nN = 0;
    bool m_bFitted = true;
    double m_dFpc = 1.0;   // while zoomed
    // While zoomed: the left edge's frame as the pointer left it, kept unrounded so that notch
    // after notch the frame under the pointer does not drift; the columns start at whole ones.
    double m_dLeft = 0.0;
};

}  // namespace tonmira::view
