// The overview pane on a two-hour 44.1 kHz take: the summary's build and the overview strip's
// queries, the spectrogram's first paint of the whole take on two worker threads, and panning the
// spectrogram of the part around the position at 60 frames per second. Every figure is set against
// anchors measured in the same run: one CFftEngine transform of N samples and one plain read of
// the whole take. Takes a few seconds (most of it filling the 635 MB take).
// Usage: sonogram_bench [minutes] (default 120).
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

#include "dsp/FftEngine.h"
#include "view/ColourMap.h"
#include "view/SonogramTiles.h"
#include "view/SummaryPyramid.h"

using namespace tonmira;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

constexpr int kN = 4096;
constexpr int kRate = 44100;
constexpr int kWidth = 1200;  // columns of the pane
constexpr int kRows = 300;

// Tiles delivered by the workers, as the pane's queued slot would receive them.
struct Inbox {
    std::mutex mutex;
    std::condition_variable arrived;
    std::map<std::int64_t, view::SonogramTiles::Levels> tiles;
    std::uint64_t generation = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    const double minutes = argc > 1 ? std::atof(argv[1]) : 120.0;
    const auto frames = static_cast<std::uint64_t>(minutes * 60 * kRate);
    std::vector<unsigned char> bytes(frames * 2);
    // A slow chirp under quiet noise: something to see, nothing the FFT could skip.
    std::uint32_t noise = 1;
    const double pi = 2 * std::asin(1.0);
    double phase = 0;
    for (std::uint64_t i = 0; i < frames; ++i) {
        noise = noise * 1664525u + 1013904223u;
        phase += 2 * pi * (200.0 + 8000.0 * static_cast<double>(i) / static_cast<double>(frames)) / kRate;
        if (phase > 2 * pi)
            phase -= 2 * pi;
        const auto v = static_cast<std::int16_t>(8000 * std::sin(phase) + static_cast<int>(noise >> 24) - 128);
        bytes[2 * i] = static_cast<unsigned char>(v & 0xff);
        bytes[2 * i + 1] = static_cast<unsigned char>((v >> 8) & 0xff);
    }
    const view::MonoSamples take{bytes.data(), frames, false};
    std::printf("take: %.0f min, %llu frames, %.0f MB\n", minutes, static_cast<unsigned long long>(frames),
                bytes.size() / 1e6);

    // Anchors.
    auto t0 = Clock::now();
    long long sum = 0;
    for (std::uint64_t i = 0; i < frames; ++i)
        sum += take.At(i);
    const double readMs = Ms(Clock::now() - t0);
    CFftEngine fft;
    fft.Init(kN, 1);
    std::vector<int> out(kN / 2);
    const int transforms = 400;
    t0 = Clock::now();
    for (int k = 0; k < transforms; ++k) {
        for (int i = 0; i < kN; ++i)
            fft.SetSample(i, static_cast<short>(take.At(static_cast<std::uint64_t>(k) * 1000 + i)));
        fft.Transform(out.data());
    }
    const double fftMs = Ms(Clock::now() - t0) / transforms;
    std::printf("anchor: read of the take %.1f ms (checksum %lld); one N=%d transform %.3f ms\n", readMs, sum % 7, kN,
                fftMs);

    // Summary and overview strip.
    const std::atomic<bool> cancel{false};
    view::SummaryPyramid pyramid;
    t0 = Clock::now();
    pyramid.Build(take, cancel);
    const double buildMs = Ms(Clock::now() - t0);
    t0 = Clock::now();
    int checksum = 0;
    for (int x = 0; x < kWidth; ++x)
        checksum += pyramid.Query(frames * x / kWidth, frames * (x + 1) / kWidth).max;
    const double stripMs = Ms(Clock::now() - t0);
    std::printf("summary: build %.1f ms (%.2f x a read), %zu bytes (%.2f %% of the take); overview strip of %d "
                "columns %.3f ms (%d)\n",
                buildMs, buildMs / readMs, pyramid.MemoryBytes(), 100.0 * pyramid.MemoryBytes() / bytes.size(), kWidth,
                stripMs, checksum % 7);

    Inbox inbox;
    view::SonogramTiles tiles(2, [&](std::uint64_t generation, std::int64_t index, view::SonogramTiles::Levels l) {
        std::lock_guard lock(inbox.mutex);
        if (generation == inbox.generation)
            inbox.tiles[index] = std::move(l);
        inbox.arrived.notify_all();
    });
    auto reset = [&](const view::SpectrogramLayout& layout) {
        std::lock_guard lock(inbox.mutex);
        inbox.tiles.clear();
        inbox.generation = tiles.Reset(take, layout);
    };

    // First paint of the whole take: every tile of the pane's width.
    const view::SpectrogramLayout whole{kN, kRate, kRows, 0, kRate / 2, false, static_cast<double>(frames) / kWidth};
    const int wholeTiles = (kWidth + view::kTileColumns - 1) / view::kTileColumns;
    t0 = Clock::now();
    reset(whole);
    for (int t = 0; t < wholeTiles; ++t)
        tiles.Request(t);
    {
        std::unique_lock lock(inbox.mutex);
        inbox.arrived.wait(lock, [&] { return static_cast<int>(inbox.tiles.size()) == wholeTiles; });
    }
    const double firstPaintMs = Ms(Clock::now() - t0);
    const double spectra = static_cast<double>(wholeTiles) * view::kTileColumns * view::kMaxSpectraPerColumn;
    std::printf("first paint, whole take, %d x %d px, 2 workers: %.1f ms (target 1000 ms; %.0f transforms = %.1f "
                "transforms' time on one core; %.3f x a read of the take)\n",
                kWidth, kRows, firstPaintMs, spectra, firstPaintMs / fftMs, firstPaintMs / readMs);

    // Panning the part around the position: 20 columns (0.9 s) per frame, 120 frames. Per frame
    // the UI thread requests the tiles that came into view, colours those that arrived and
    // composes the screen; the workers compute in the meantime.
    const view::SpectrogramLayout around{kN, kRate, kRows, 0, kRate / 2, false, kN / 2.0};
    reset(around);
    const auto& colours = view::ViridisTable();
    std::vector<std::uint32_t> screen(static_cast<std::size_t>(kWidth) * kRows);
    std::map<std::int64_t, std::vector<std::uint32_t>> images;
    std::int64_t first = 100000;
    // The first screen around the position, then the panning.
    t0 = Clock::now();
    const std::int64_t screenTiles = (kWidth + view::kTileColumns - 1) / view::kTileColumns + 1;
    for (std::int64_t t = first / view::kTileColumns; t < first / view::kTileColumns + screenTiles; ++t)
        tiles.Request(t);
    {
        std::unique_lock lock(inbox.mutex);
        inbox.arrived.wait(lock, [&] { return static_cast<std::int64_t>(inbox.tiles.size()) == screenTiles; });
    }
    const double aroundMs = Ms(Clock::now() - t0);
    std::printf("first paint around the position (%lld tiles, one transform per column): %.1f ms = %.1f transforms\n",
                static_cast<long long>(screenTiles), aroundMs, aroundMs / fftMs);
    double worstFrameMs = 0, totalFrameMs = 0;
    int missingColumns = 0;
    const int panFrames = 120;
    const auto start = Clock::now();
    for (int f = 0; f < panFrames; ++f) {
        const auto frameStart = Clock::now();
        const std::int64_t firstTile = first / view::kTileColumns;
        const std::int64_t lastTile = (first + kWidth - 1) / view::kTileColumns;
        for (std::int64_t t = firstTile; t <= lastTile + 1; ++t)
            if (!images.count(t))
                tiles.Request(t);
        std::map<std::int64_t, view::SonogramTiles::Levels> arrived;
        {
            std::lock_guard lock(inbox.mutex);
            arrived.swap(inbox.tiles);
        }
        for (const auto& [index, levels] : arrived) {
            std::vector<std::uint32_t> image(static_cast<std::size_t>(view::kTileColumns) * kRows);
            for (std::size_t k = 0; k < image.size(); ++k)
                image[k] = colours[(*levels)[k]];
            images[index] = std::move(image);
        }
        for (auto it = images.begin(); it != images.end();)
            it = it->first < firstTile - 4 ? images.erase(it) : std::next(it);
        for (int x = 0; x < kWidth; ++x) {
            const std::int64_t column = first + x;
            const auto it = images.find(column / view::kTileColumns);
            if (it == images.end()) {
                ++missingColumns;
                continue;
            }
            const std::uint32_t* src = it->second.data() + (column % view::kTileColumns) * kRows;
            for (int r = 0; r < kRows; ++r)
                screen[static_cast<std::size_t>(r) * kWidth + x] = src[r];
        }
        const double frameMs = Ms(Clock::now() - frameStart);
        worstFrameMs = std::max(worstFrameMs, frameMs);
        totalFrameMs += frameMs;
        first += 20;
        std::this_thread::sleep_until(start + std::chrono::microseconds(16667) * (f + 1));
    }
    std::size_t tileBytes = 0;
    for (const auto& [index, image] : images)
        tileBytes += image.size() * sizeof(std::uint32_t) + view::kTileColumns * kRows;
    std::printf("panning, %d frames of 20 columns at 60/s: UI thread per frame %.2f ms mean, %.2f ms worst (target "
                "16 ms; worst = %.1f transforms); columns not yet computed when shown: %.2f %%\n",
                panFrames, totalFrameMs / panFrames, worstFrameMs, worstFrameMs / fftMs,
                100.0 * missingColumns / (panFrames * kWidth));
    std::printf("memory: tiles kept %zu (%.1f MB, screen %d x %d), independent of the take's length; summary %.1f MB\n",
                images.size(), tileBytes / 1e6, kWidth, kRows, pyramid.MemoryBytes() / 1e6);
    return 0;
}
