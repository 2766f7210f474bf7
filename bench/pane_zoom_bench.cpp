// A frame of the overview pane while the wheel zooms and pans a two-hour 44.1 kHz take at
// N = 4096: the UI thread's work per frame (the strip's min/max per column from the pyramid, the
// spectrogram's columns from the whole-take summary, its colours), against an anchor measured in
// the same run: one repaint of the unzoomed pane (the same work for the fitted take). Deep zoom
// draws from tiles computed on the workers; those frames only count here as the summary's are
// left. Target: <= 16 ms per frame.
// Usage: pane_zoom_bench [minutes] [width] (default 120, 1200).
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include <time.h>

#include "view/PaneTimeAxis.h"
#include "view/SonogramTiles.h"
#include "view/SummaryPyramid.h"
#include "view/TakeLevelSummary.h"
#include "view/TakePicture.h"

using namespace tonmira;

namespace {

constexpr int kN = 4096;
constexpr int kRate = 44100;
constexpr int kRows = 300;

// CPU time of the calling thread in ms: the UI thread's own work, not other programs' turns.
double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// One frame: what the pane computes on the UI thread for the axis as it stands.
std::size_t Frame(const view::SummaryPyramid& pyramid, const view::TakeLevelSummary& summary, const view::PaneTimeAxis& axis,
                  const view::PictureAxes& a, view::SummaryRows& rows)
{
    std::size_t sum = 0;
    for (int x = 0; x < a.width; ++x) {
        const auto from = static_cast<std::uint64_t>(axis.FrameAt(x));
        const auto to = std::max(from + 1, static_cast<std::uint64_t>(axis.FrameAt(x + 1)));
        if (from >= pyramid.Frames())
            break;
        sum += static_cast<std::size_t>(pyramid.Query(from, to).max);
    }
    const auto levels = axis.Fitted() ? view::WholeTakeLevels(summary, a, &rows)
                                      : view::RangeLevels(summary, a, axis.FromFrame(), axis.FramesPerColumn(), &rows);
    const auto pixels = view::ColourPixels(levels);
    return sum + pixels[pixels.size() / 2];
}

struct Times {
    std::vector<double> ms;
    void Add(double v) { ms.push_back(v); }
    double Median()
    {
        std::sort(ms.begin(), ms.end());
        return ms.empty() ? 0 : ms[ms.size() / 2];
    }
    double Max() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
};

}  // namespace

int main(int argc, char** argv)
{
    const double minutes = argc > 1 ? std::atof(argv[1]) : 120.0;
    const int width = argc > 2 ? std::atoi(argv[2]) : 1200;
    const auto frames = static_cast<std::uint64_t>(minutes * 60 * kRate);
    std::vector<unsigned char> bytes(frames * 2);
    std::uint32_t noise = 1;
    for (std::uint64_t i = 0; i < frames; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const auto s = static_cast<std::int16_t>(static_cast<int>(noise >> 20) - 2048);
        bytes[2 * i] = static_cast<unsigned char>(s & 0xff);
        bytes[2 * i + 1] = static_cast<unsigned char>((s >> 8) & 0xff);
    }
    const view::MonoSamples take{bytes.data(), frames, false};
    view::SummaryPyramid pyramid;
    const std::atomic<bool> cancel{false};
    pyramid.Build(take, cancel);
    view::TakeLevelSummary summary(static_cast<int>(std::max(std::thread::hardware_concurrency(), 1u)));
    summary.Start(take, kN, {});
    summary.Wait();
    std::printf("take: %.0f min, %llu frames; pane %d x %d; summary %lld blocks of %d windows\n", minutes,
                static_cast<unsigned long long>(frames), width, kRows, static_cast<long long>(summary.Blocks()),
                summary.WindowsPerBlock());

    const view::PictureAxes a{width, kRows, kRate, 0, kRate / 2, false};
    view::PaneTimeAxis axis;
    axis.SetTake(frames, width, kN);
    std::size_t sink = 0;
    // The pane keeps the summary's blocks reduced to its rows: the first picture after a new take,
    // N or pane height reduces them all, a repaint reuses them.
    view::SummaryRows rows;
    Times first;
    for (int k = 0; k < 5; ++k) {
        view::SummaryRows fresh;
        const double t0 = ThreadCpuMs();
        sink += Frame(pyramid, summary, axis, a, fresh);
        first.Add(ThreadCpuMs() - t0);
    }
    Times anchor;
    sink += Frame(pyramid, summary, axis, a, rows);
    for (int k = 0; k < 5; ++k) {
        const double t0 = ThreadCpuMs();
        sink += Frame(pyramid, summary, axis, a, rows);
        anchor.Add(ThreadCpuMs() - t0);
    }
    const double anchorMs = anchor.Median();
    std::printf("anchor: one repaint of the unzoomed pane %.2f ms (median of 5)\n", anchorMs);
    std::printf("first picture (all blocks reduced to the rows): %.2f ms = %.2f x the anchor\n", first.Median(),
                first.Median() / anchorMs);

    // Zoom in notch by notch at a third of the pane, panning an eighth at every level, then out.
    Times zoom, pan;
    int deep = 0;
    const int hop = kN / 2;
    auto deepZoom = [&] { return !axis.Fitted() && axis.FramesPerColumn() <= view::kMaxSpectraPerColumn * hop; };
    for (bool in = true;;) {
        if (!axis.ZoomAt(width / 3.0, in ? 1.25 : 1 / 1.25)) {
            if (!in)
                break;
            in = false;
            continue;
        }
        if (deepZoom()) {
            ++deep;
            continue;
        }
        double t0 = ThreadCpuMs();
        sink += Frame(pyramid, summary, axis, a, rows);
        zoom.Add(ThreadCpuMs() - t0);
        axis.Pan(width / 8);
        t0 = ThreadCpuMs();
        sink += Frame(pyramid, summary, axis, a, rows);
        pan.Add(ThreadCpuMs() - t0);
    }
    const double zoomMedian = zoom.Median(), panMedian = pan.Median();
    std::printf("zoom frames: %zu, median %.2f ms = %.2f x the anchor, max %.2f ms = %.2f x (target <= 16 ms)\n",
                zoom.ms.size(), zoomMedian, zoomMedian / anchorMs, zoom.Max(), zoom.Max() / anchorMs);
    std::printf("pan frames:  %zu, median %.2f ms = %.2f x the anchor, max %.2f ms = %.2f x (target <= 16 ms)\n",
                pan.ms.size(), panMedian, panMedian / anchorMs, pan.Max(), pan.Max() / anchorMs);
    std::printf("deep zoom steps drawn from the workers' tiles: %d (%s)\n", deep, sink ? "ok" : "-");
    return 0;
}
