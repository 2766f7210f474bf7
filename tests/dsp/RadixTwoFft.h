#pragma once
// The plain radix-2 decimation-in-time FFT that CFftEngine's results are held against: every
// table (bit reversal, one twiddle table per stage, window) built by Init, the butterflies
// written out, magnitudes trunc(|X[k]| / sqrt(N)). Slow and large (34 MiB at N = 131072), but
// simple enough to check by hand.
#include "base/Types.h"

namespace tonmira::test {

class RadixTwoFft {
public:
    struct Complex {
        double re;
        double im;
    };

    RadixTwoFft() = default;
    ~RadixTwoFft();
    RadixTwoFft(const RadixTwoFft&) = delete;
    RadixTwoFft& operator=(const RadixTwoFft&) = delete;

    // Builds the tables for N = size (a power of two, 1 .. 2^20) and window type
    // (1 Hann, 2 Hamming, 3 Blackman, anything else rectangular). Inputs start at 0.0.
    // A ready engine is released first. Returns 0, leaving the engine empty, when size is
    // not a power of two in range or an allocation fails.
    BOOL Init(int size, int windowType);
    // Frees the tables; the engine is empty afterwards and may be released again safely.
    void Release();
    bool IsReady() const { return m_pInput != nullptr; }

    // Stores value x window[index] as input index (0..N-1).
    void SetSample(int index, short value);
    // Transforms the current inputs (they are kept) and writes N/2 magnitudes,
    // trunc(|X[k]| / sqrt(N)), into out, which must hold N/2 ints.
    void Transform(int* out);

    int m_nSize = 0;
    int m_nStages = 0;
    double m_dNorm = 0.0;
    int* m_pBitRev = nullptr;
    Complex* m_pWork = nullptr;
    Complex** m_ppTwiddle = nullptr;
    double* m_pInput = nullptr;
    double* m_pWindow = nullptr;
};

}  // namespace tonmira::test
