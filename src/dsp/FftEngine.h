#pragma once
// Radix-2 decimation-in-time FFT of N real samples into N/2 integer magnitudes, with every
// table (bit reversal, one twiddle table per stage, window) built once by Init.
// Not thread-safe: one caller at a time (the owner serialises its users).
#include "base/Types.h"

namespace tonmira {

struct FftComplex {
    double re;
    double im;
};

class CFftEngine {
public:
    CFftEngine() = default;
    ~CFftEngine();
    CFftEngine(const CFftEngine&) = delete;
    CFftEngine& operator=(const CFftEngine&) = delete;

    // Builds the tables for N = size (a power of two, 1 .. 2^20) and window type
    // (1 Hann, 2 Hamming, 3 Blackman, anything else rectangular). Inputs start at 0.0.
    // A ready engine is released first. Returns 0, leaving the engine empty, when size is
    // not a power of two in range or an allocation fails.
    BOOL Init(int size, int windowType);
    // Frees the tables; the engine is empty afterwards and may be released again safely.
    void Release();
    bool IsReady() const { return m_pInput != nullptr; }

    // Stores value x window[index] as input index. index must lie in 0..N-1 (checked only
    // by assertion, as this runs N times per transform).
    void SetSample(int index, short value);
    // Transforms the current inputs (they are kept) and writes N/2 magnitudes,
    // trunc(|X[k]| / sqrt(N)), into out, which must hold N/2 ints.
    void Transform(int* out);

    int m_nSize = 0;
    int m_nStages = 0;
    double m_dNorm = 0.0;
    int* m_pBitRev = nullptr;
    FftComplex* m_pWork = nullptr;
    FftComplex** m_ppTwiddle = nullptr;
    double* m_pInput = nullptr;
    double* m_pWindow = nullptr;
};

}  // namespace tonmira
