// CFftEngine against FFTW3 used directly (real-input r2c plan, double) and KissFFT
// (kiss_fftr, float build), each timed for N inputs set + one transform + N/2 magnitudes
// formed as trunc(|X[k]| / sqrt(N)) into ints, at N = 1024, 4096, 65536 and 131072; and the
// heap taken by an engine at N = 131072 (the first one in the process also makes the plan).
// FFTW is timed with an FFTW_MEASURE plan made afresh, and with the plan the engine uses (from
// the engine's wisdom: FFTW_PATIENT from N = 16384 on), which shows the engine's own overhead.
#include <benchmark/benchmark.h>
#include <fftw3.h>
#include <kissfft/kiss_fftr.h>
#include <malloc.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "dsp/FftEngine.h"

namespace {

std::vector<short> Input(int n)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> sample(-32768, 32767);
    std::vector<short> input(n);
    for (auto& v : input)
        v = static_cast<short>(sample(random));
    return input;
}

std::vector<int> OursOnce(tonmira::CFftEngine& fft, const std::vector<short>& input)
{
    std::vector<int> out(input.size() / 2);
    for (int i = 0; i < static_cast<int>(input.size()); ++i)
        fft.SetSample(i, input[i]);
    fft.Transform(out.data());
    return out;
}

// Bytes in use on the heap, small blocks and mapped ones alike.
double HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

void BM_EngineMemory(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        const double before = HeapInUse();
        tonmira::CFftEngine first;
        first.Init(n, 0);
        const double withPlan = HeapInUse();
        tonmira::CFftEngine second;
        second.Init(n, 0);
        const double withSecond = HeapInUse();
        tonmira::CFftEngine hann;
        hann.Init(n, 1);
        const double withHann = HeapInUse();
        state.counters["first_MiB"] = (withPlan - before) / (1 << 20);
        state.counters["next_MiB"] = (withSecond - withPlan) / (1 << 20);
        state.counters["hann_MiB"] = (withHann - withSecond) / (1 << 20);
    }
}

void BM_CFftEngine(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const auto input = Input(n);
    tonmira::CFftEngine fft;
    if (!fft.Init(n, 0)) {
        state.SkipWithError("Init failed");
        return;
    }
    std::vector<int> out(n / 2);
    for (auto _ : state) {
        for (int i = 0; i < n; ++i)
            fft.SetSample(i, input[i]);
        fft.Transform(out.data());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}

void BM_Fftw(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const auto input = Input(n);
    const bool enginePlan = state.range(1) != 0;
    double* in = fftw_alloc_real(n);
    fftw_complex* spectrum = fftw_alloc_complex(n / 2 + 1);
    // Wisdom of more patient plans would serve a measuring plan too: forget it first.
    if (!enginePlan)
        fftw_forget_wisdom();
    const unsigned rigor = enginePlan && n >= 16384 ? FFTW_PATIENT : FFTW_MEASURE;
    fftw_plan plan = fftw_plan_dft_r2c_1d(n, in, spectrum, rigor);
    const double norm = std::sqrt(static_cast<double>(n));
    std::vector<int> out(n / 2);

    // Once, outside the timing: both must agree to the truncation step.
    for (int i = 0; i < n; ++i)
        in[i] = input[i];
    fftw_execute(plan);
    tonmira::CFftEngine fft;
    fft.Init(n, 0);
    const auto ours = OursOnce(fft, input);
    int worst = 0;
    for (int k = 0; k < n / 2; ++k) {
        int theirs = static_cast<int>(std::hypot(spectrum[k][0], spectrum[k][1]) / norm);
        worst = std::max(worst, std::abs(theirs - ours[k]));
    }
    state.counters["max_diff"] = worst;

    for (auto _ : state) {
        for (int i = 0; i < n; ++i)
            in[i] = input[i];
        fftw_execute(plan);
        for (int k = 0; k < n / 2; ++k)
            out[k] = static_cast<int>(std::sqrt(spectrum[k][0] * spectrum[k][0] + spectrum[k][1] * spectrum[k][1]) / norm);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    fftw_destroy_plan(plan);
    fftw_free(spectrum);
    fftw_free(in);
}

void BM_KissFftr(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const auto input = Input(n);
    kiss_fftr_cfg cfg = kiss_fftr_alloc(n, 0, nullptr, nullptr);
    std::vector<kiss_fft_scalar> in(n);
    std::vector<kiss_fft_cpx> spectrum(n / 2 + 1);
    const float norm = std::sqrt(static_cast<float>(n));
    std::vector<int> out(n / 2);
    for (auto _ : state) {
        for (int i = 0; i < n; ++i)
            in[i] = input[i];
        kiss_fftr(cfg, in.data(), spectrum.data());
        for (int k = 0; k < n / 2; ++k)
            out[k] = static_cast<int>(std::sqrt(spectrum[k].r * spectrum[k].r + spectrum[k].i * spectrum[k].i) / norm);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    kiss_fftr_free(cfg);
}

}  // namespace

// First, so that the engine's plan is made here and counted.
BENCHMARK(BM_EngineMemory)->Arg(131072)->Iterations(1);
BENCHMARK(BM_CFftEngine)->Arg(1024)->Arg(4096)->Arg(65536)->Arg(131072);
// The engine first, so that its plans come from its wisdom file before anything is forgotten.
BENCHMARK(BM_Fftw)->ArgsProduct({{1024, 4096, 65536, 131072}, {1}})->ArgNames({"", "engine_plan"});
BENCHMARK(BM_Fftw)->ArgsProduct({{1024, 4096, 65536, 131072}, {0}})->ArgNames({"", "engine_plan"});
BENCHMARK(BM_KissFftr)->Arg(1024)->Arg(4096)->Arg(65536)->Arg(131072);

BENCHMARK_MAIN();
