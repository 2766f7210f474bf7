#include "dsp/FftEngine.h"

#include <fftw3.h>

#include <cmath>
#include <new>

#include "dsp/FftwPlans.h"

namespace tonmira {

namespace {

constexpr int kLargestSize = 1 << 20;

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

// trunc(|x[k]| / norm) for k < count.
void Magnitudes(const FftComplex* x, int count, double norm, int* out)
{
    for (int i = 0; i < count; ++i)
        out[i] = static_cast<int>(std::sqrt(x[i].re * x[i].re + x[i].im * x[i].im) / norm);
}

}  // namespace

void CFftEngine::FftwDeleter::operator()(void* p) const { FftwFree(p); }

BOOL CFftEngine::Init(int size, int windowType)
{
    Release();
    if (!IsPowerOfTwo(size) || size > kLargestSize)
        return 0;
    const int n = size;
    m_pPlan = SharedRealPlan(n);
    m_pInput.reset(FftwAllocReal(n));
    m_pWork.reset(static_cast<FftComplex*>(FftwAllocComplex(n / 2 + 1)));
    const bool windowed = windowType >= 1 && windowType <= 3;
    if (windowed)
        m_pWindow.reset(new (std::nothrow) double[n]);
    if (!m_pPlan || !m_pInput || !m_pWork || (windowed && !m_pWindow)) {
        Release();
        return 0;
    }
    m_nSize = n;
    for (unsigned rest = static_cast<unsigned>(n - 1); rest != 0; rest >>= 1)
        ++m_nStages;
    m_dNorm = std::sqrt(static_cast<double>(n));
    for (int i = 0; i < n; ++i)
        m_pInput[i] = 0.0;

    // The denominator is N, not N - 1: the tables are periodic, not symmetric.
    const double pi = 2.0 * std::asin(1.0);
    for (int i = 0; windowed && i < n; ++i) {
        double a = 2.0 * pi * i / n;
        switch (windowType) {
        case 1: m_pWindow[i] = 0.5 - 0.5 * std::cos(a); break;
        case 2: m_pWindow[i] = 0.54 - 0.46 * std::cos(a); break;
        default: m_pWindow[i] = 0.42 - 0.5 * std::cos(a) + 0.08 * std::cos(2.0 * a); break;
        }
    }
    return 1;
}

void CFftEngine::Release()
{
    m_pInput.reset();
    m_pWork.reset();
    m_pWindow.reset();
    m_pPlan = nullptr;
    m_nSize = 0;
    m_nStages = 0;
    m_dNorm = 0.0;
}

void CFftEngine::Transform(int* out)
{
    const int n = m_nSize;
    if (n == 0)
        return;
    // The shared plan on this engine's own arrays: FFTW allows this from any thread.
    fftw_execute_dft_r2c(m_pPlan, m_pInput.get(), reinterpret_cast<fftw_complex*>(m_pWork.get()));
    Magnitudes(m_pWork.get(), n / 2, m_dNorm, out);
}

}  // namespace tonmira
