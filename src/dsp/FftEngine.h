#pragma once
// FFT of N real samples into N/2 integer magnitudes, trunc(|X[k]| / sqrt(N)), on FFTW's
// real-to-complex transform. The engine keeps its windowed inputs between transforms; the plan
// for N is shared by every engine of that size (dsp/FftwPlans.h).
// Not thread-safe: one caller at a time per engine (the owner serialises its users); separate
// engines may transform on separate threads.
#include <memory>

#include "base/Types.h"

struct fftw_plan_s;

namespace tonmira {

struct FftComplex {
    double re;
    double im;
};

class CFftEngine {
public:
    CFftEngine() = default;
    CFftEngine(const CFftEngine&) = delete;
    CFftEngine& operator=(const CFftEngine&) = delete;

    // Makes the engine ready for N = size (a power of two, 1 .. 2^20) and window type
    // (1 Hann, 2 Hamming, 3 Blackman, anything else rectangular). Inputs start at 0.0.
    // A ready engine is released first. Returns 0, leaving the engine empty, when size is
    // not a power of two in range, an allocation fails or no plan can be made.
    // The first Init of a size in the process may take a while: FFTW measures its plan once
    // per machine (see FftwPlans.h).
    BOOL Init(int size, int windowType);
    // Frees the arrays; the engine is empty afterwards and may be released again safely.
    void Release();
    bool IsReady() const { return m_pInput != nullptr; }

    // Stores value x window[index] as input index. index must lie in 0..N-1 (not checked:
    // this runs N times per transform).
    void SetSample(int index, short value)
    {
        // The rectangular window has no table: value x 1.0 is value.
        const double v = static_cast<double>(value);
        m_pInput[index] = m_pWindow ? v * m_pWindow[index] : v;
    }
    // Transforms the current inputs (they are kept) and writes N/2 magnitudes,
    // trunc(|X[k]| / sqrt(N)), into out, which must hold N/2 ints.
    void Transform(int* out);
    // Window coefficient index (0..N-1): 0.5 - 0.5 cos(2 pi i / N) and so on; 1.0 for the
    // rectangular window.
    double Window(int index) const { return m_pWindow ? m_pWindow[index] : 1.0; }

    struct FftwDeleter {
        void operator()(void* p) const;
    };

    int m_nSize = 0;
    int m_nStages = 0;     // log2 N
    double m_dNorm = 0.0;  // sqrt(N), the divisor of every magnitude
    // Windowed inputs, N doubles, kept between transforms.
    std::unique_ptr<double[], FftwDeleter> m_pInput;
    // X[0] .. X[N/2], written by every transform.
    std::unique_ptr<FftComplex[], FftwDeleter> m_pWork;
    // Window coefficients, N doubles; none for the rectangular window.
    std::unique_ptr<double[]> m_pWindow;
    fftw_plan_s* m_pPlan = nullptr;  // shared, owned by the plan registry
};

}  // namespace tonmira
