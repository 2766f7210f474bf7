// The whole take's spectrogram on a two-hour 44.1 kHz take at N = 4096: building the max-pooled
// summary on the worker threads against its anchor measured in the same run (number of windows x
// one CFftEngine transform of N samples / worker threads), the first coarse picture (first stage
// of the build plus drawing it), drawing the finished picture at several widths, the summary's
// memory against the take's, and whether five short calls show at every width.
// Usage: take_summary_bench [minutes] [threads] (default 120, the machine's cores).
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include <time.h>

#include "dsp/FftEngine.h"
#include "view/Readout.h"
#include "view/TakePicture.h"
#include "view/TakeLevelSummary.h"

using namespace tonmira;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// CPU time in ms of the calling thread or of the whole process: on a shared machine the wall
// clock also counts other programs' turns, the CPU time only this one's work.
double CpuMs(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

constexpr int kN = 4096;
constexpr int kRate = 44100;
constexpr int kRows = 300;
constexpr double kCallHz = 5000;

}  // namespace

int main(int argc, char** argv)
{
    const double minutes = argc > 1 ? std::atof(argv[1]) : 120.0;
    const int threads = argc > 2 ? std::atoi(argv[2]) : static_cast<int>(std::max(std::thread::hardware_concurrency(), 1u));
    const auto frames = static_cast<std::uint64_t>(minutes * 60 * kRate);
    std::vector<unsigned char> bytes(frames * 2);
    // A slow chirp under quiet noise, and five calls one window long at odd places.
    std::uint32_t noise = 1;
    const double pi = 2 * std::asin(1.0);
    double phase = 0;
    std::vector<std::uint64_t> calls;
    for (int c = 0; c < 5; ++c)
        calls.push_back(static_cast<std::uint64_t>((0.07 + 0.19 * c) * static_cast<double>(frames)) + 777 * c);
    for (std::uint64_t i = 0; i < frames; ++i) {
        noise = noise * 1664525u + 1013904223u;
        phase += 2 * pi * (200.0 + 3000.0 * static_cast<double>(i) / static_cast<double>(frames)) / kRate;
        if (phase > 2 * pi)
            phase -= 2 * pi;
        double v = 300 * std::sin(phase) + static_cast<int>(noise >> 26) - 32;
        for (const std::uint64_t c : calls)
            if (i >= c && i < c + kN)
                v += 12000 * std::sin(2 * pi * kCallHz * static_cast<double>(i - c) / kRate);
        const auto s = static_cast<std::int16_t>(std::lround(v));
        bytes[2 * i] = static_cast<unsigned char>(s & 0xff);
        bytes[2 * i + 1] = static_cast<unsigned char>((s >> 8) & 0xff);
    }
    const view::MonoSamples take{bytes.data(), frames, false};
    std::printf("take: %.0f min, %llu frames, %.0f MB; %d worker threads\n", minutes,
                static_cast<unsigned long long>(frames), bytes.size() / 1e6, threads);

    // Anchor: one transform of N samples read from the take, as the engine is fed.
    CFftEngine fft;
    fft.Init(kN, 1);
    std::vector<int> out(kN / 2);
    const int transforms = 2000;
    auto t0 = Clock::now();
    const double cpu0 = CpuMs(CLOCK_THREAD_CPUTIME_ID);
    for (int k = 0; k < transforms; ++k) {
        const std::uint64_t start = (static_cast<std::uint64_t>(k) * 104729u * kN) % (frames - kN);
        for (int i = 0; i < kN; ++i)
            fft.SetSample(i, static_cast<short>(take.At(start + static_cast<std::uint64_t>(i))));
        fft.Transform(out.data());
    }
    const double fftMs = Ms(Clock::now() - t0) / transforms;
    const double fftCpuMs = (CpuMs(CLOCK_THREAD_CPUTIME_ID) - cpu0) / transforms;

    view::TakeLevelSummary summary(threads);
    std::mutex mutex;
    std::condition_variable stageDone;
    double firstStageMs = -1;
    const auto start = Clock::now();
    const double buildCpu0 = CpuMs(CLOCK_PROCESS_CPUTIME_ID);
    summary.Start(take, kN, [&] {
        std::lock_guard lock(mutex);
        if (firstStageMs < 0 && summary.StagesDone() >= 1) {
            firstStageMs = Ms(Clock::now() - start);
            stageDone.notify_all();
        }
    });
    // The first coarse picture, drawn as soon as the first stage is there (the workers go on).
    const view::PictureAxes axes{1200, kRows, kRate, 0, kRate / 2, false};
    {
        std::unique_lock lock(mutex);
        stageDone.wait(lock, [&] { return firstStageMs >= 0; });
    }
    const double drawCpu0 = CpuMs(CLOCK_THREAD_CPUTIME_ID);
    const auto coarse = view::ColourPixels(view::WholeTakeLevels(summary, axes));
    const double coarseMs = Ms(Clock::now() - start);
    const double coarseCpuMs = CpuMs(CLOCK_THREAD_CPUTIME_ID) - drawCpu0;
    summary.Wait();
    const double buildMs = Ms(Clock::now() - start);
    const double buildCpuMs = CpuMs(CLOCK_PROCESS_CPUTIME_ID) - buildCpu0 - coarseCpuMs;
    const double anchorMs = static_cast<double>(summary.Windows()) * fftMs / threads;

    std::printf("anchor: one N=%d transform %.4f ms; %lld windows x it / %d threads = %.0f ms\n", kN, fftMs,
                static_cast<long long>(summary.Windows()), threads, anchorMs);
    std::printf("full summary build: %.0f ms = %.2f x the anchor (target <= 1.3)\n", buildMs, buildMs / anchorMs);
    std::printf("  in CPU time (not counting other programs' turns): build %.0f ms over %lld windows x %.4f ms = %.2f x\n",
                buildCpuMs, static_cast<long long>(summary.Windows()), fftCpuMs,
                buildCpuMs / (static_cast<double>(summary.Windows()) * fftCpuMs));
    std::printf("first coarse picture 1200 x %d: stage 1 of %d after %.0f ms, drawn at %.0f ms (target <= 300 ms) "
                "(%zu px)\n",
                kRows, summary.StageCount(), firstStageMs, coarseMs, coarse.size());
    std::printf("summary memory: %zu bytes = %.2f %% of the take (target <= 5 %%); %d windows per block, %d bins\n",
                summary.MemoryBytes(), 100.0 * static_cast<double>(summary.MemoryBytes()) / static_cast<double>(bytes.size()),
                summary.WindowsPerBlock(), summary.Bins());

    for (const int width : {400, 800, 1200, 1600}) {
        const view::PictureAxes a{width, kRows, kRate, 0, kRate / 2, false};
        t0 = Clock::now();
        const std::vector<std::uint8_t> levels = view::WholeTakeLevels(summary, a);
        const auto pixels = view::ColourPixels(levels);
        const double drawMs = Ms(Clock::now() - t0);
        const int row = static_cast<int>((1.0 - view::AxisFraction(kCallHz, 0, kRate / 2, false)) * kRows);
        int seen = 0;
        for (const std::uint64_t c : calls) {
            const int x = view::ColumnOfFrame(static_cast<double>(c) + kN / 2.0, frames, width);
            bool lit = false;
            for (int dx = -1; dx <= 1; ++dx)
                if (x + dx >= 0 && x + dx < width)
                    lit = lit || levels[static_cast<std::size_t>(row) * width + x + dx] >= 153;
            seen += lit ? 1 : 0;
        }
        std::printf("picture %4d x %d: drawn in %.1f ms (%zu px); calls seen %d of %zu\n", width, kRows, drawMs,
                    pixels.size(), seen, calls.size());
    }
    return 0;
}
