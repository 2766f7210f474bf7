#pragma once
// The process's FFTW plans: one real-to-complex plan per size, made once and shared by every
// CFftEngine of that size. FFTW's planner is not thread-safe, so every planner call (plan,
// destroy, wisdom import and export) goes through one lock here; executing a plan on an
// engine's own arrays needs no lock.
//
// Measured plans are paid once per machine: FFTW's wisdom is kept in
// $XDG_CACHE_HOME/tonmira/fftw-wisdom (or ~/.cache/tonmira/). When that folder cannot be
// written, or TONMIRA_FFT_PLANNING=estimate is set (the tests do), plans are estimated instead:
// quicker to make and slower to run, never an error.
#include <string>

struct fftw_plan_s;

namespace tonmira {

enum class FftPlanning { Measure, Estimate };

// The shared plan for a forward transform of n real doubles (out of place, input preserved)
// into n/2 + 1 complex values, made on first use; null only when FFTW cannot plan at all.
// Arrays passed to it later must come from FftwAllocReal / FftwAllocComplex. Thread-safe.
fftw_plan_s* SharedRealPlan(int n);

// Overrides the planning mode for plans not made yet (tests; the environment variable is read
// once otherwise). Thread-safe.
void SetFftPlanning(FftPlanning planning);

// The wisdom file used when measuring: empty when there is no cache folder to use.
std::string FftWisdomPath();

// FFTW's allocator (aligned for its SIMD code); null on failure. Free with FftwFree.
double* FftwAllocReal(int n);
void* FftwAllocComplex(int n);
void FftwFree(void* p);

}  // namespace tonmira
