#include "dsp/RadixTwoFft.h"

#include <cassert>
#include <cmath>
#include <new>

namespace tonmira::test {

namespace {

constexpr int kLargestSize = 1 << 20;

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

}  // namespace

RadixTwoFft::~RadixTwoFft() { Release(); }

BOOL RadixTwoFft::Init(int size, int windowType)
{
    Release();
    if (!IsPowerOfTwo(size) || size > kLargestSize)
        return 0;
    const double pi = 2.0 * std::asin(1.0);
    const int n = size;

    m_nSize = n;
    m_nStages = 0;
    for (unsigned rest = static_cast<unsigned>(n - 1); rest != 0; rest >>= 1)
        ++m_nStages;
    m_dNorm = std::sqrt(static_cast<double>(n));

    m_pInput = new (std::nothrow) double[n];
    m_pWindow = new (std::nothrow) double[n];
    m_pBitRev = new (std::nothrow) int[n];
    m_pWork = new (std::nothrow) Complex[n];
    m_ppTwiddle = new (std::nothrow) Complex*[m_nStages + 1]();
    if (!m_pInput || !m_pWindow || !m_pBitRev || !m_pWork || !m_ppTwiddle) {
        Release();
        return 0;
    }
    for (int i = 0; i < n; ++i)
        m_pInput[i] = 0.0;

    // One full table per stage, although stage s only reads its first 2^(s-1) entries:
    // keeps the transform free of index arithmetic on the twiddles.
    for (int s = 1; s <= m_nStages; ++s) {
        Complex* table = new (std::nothrow) Complex[n];
        if (!table) {
            Release();
            return 0;
        }
        m_ppTwiddle[s] = table;
        const double span = static_cast<double>(1 << s);
        for (int j = 0; j < n; ++j) {
            double angle = j * 2.0 * pi / span;
            table[j] = {std::cos(angle), -std::sin(angle)};
        }
    }

    // The denominator is N, not N - 1: the tables are periodic, not symmetric.
    for (int i = 0; i < n; ++i) {
        double a = 2.0 * pi * i / n;
        switch (windowType) {
        case 1: m_pWindow[i] = 0.5 - 0.5 * std::cos(a); break;
        case 2: m_pWindow[i] = 0.54 - 0.46 * std::cos(a); break;
        case 3: m_pWindow[i] = 0.42 - 0.5 * std::cos(a) + 0.08 * std::cos(2.0 * a); break;
        default: m_pWindow[i] = 1.0; break;
        }
    }

    // Bit reversal by counting in reversed binary: adding 1 from the top bit down.
    int j = 0;
    for (int i = 0; i < n - 1; ++i) {
        m_pBitRev[i] = j;
        int k = n / 2;
        while (k <= j) {
            j -= k;
            k /= 2;
        }
        j += k;
    }
    m_pBitRev[n - 1] = n - 1;
    return 1;
}

void RadixTwoFft::Release()
{
    delete[] m_pInput;
    delete[] m_pBitRev;
    if (m_ppTwiddle) {
        for (int s = 1; s <= m_nStages; ++s)
            delete[] m_ppTwiddle[s];
        delete[] m_ppTwiddle;
    }
    delete[] m_pWork;
    delete[] m_pWindow;
    // Cleared so that a second Release or the destructor after Release is harmless.
    m_pInput = nullptr;
    m_pBitRev = nullptr;
    m_ppTwiddle = nullptr;
    m_pWork = nullptr;
    m_pWindow = nullptr;
    m_nSize = 0;
    m_nStages = 0;
    m_dNorm = 0.0;
}

void RadixTwoFft::SetSample(int index, short value)
{
    assert(index >= 0 && index < m_nSize);
    m_pInput[index] = static_cast<double>(value) * m_pWindow[index];
}

void RadixTwoFft::Transform(int* out)
{
    const int n = m_nSize;
    if (n == 0)
        return;
    for (int i = 0; i < n; ++i)
        m_pWork[m_pBitRev[i]] = {m_pInput[i], 0.0};

    for (int s = 1; s <= m_nStages; ++s) {
        const int half = 1 << (s - 1);
        const int span = 2 * half;
        const Complex* twiddle = m_ppTwiddle[s];
        // Block by block rather than twiddle by twiddle: every butterfly of a stage is
        // independent, so the result is the same to the bit, but each block is walked once
        // while it is in the cache instead of once per twiddle over the whole array.
        for (int block = 0; block < n; block += span) {
            Complex* lower = m_pWork + block;
            Complex* upper = lower + half;
            for (int j = 0; j < half; ++j) {
                const Complex w = twiddle[j];
                const Complex x = upper[j];
                const Complex t = {w.re * x.re - w.im * x.im, w.im * x.re + w.re * x.im};
                upper[j] = {lower[j].re - t.re, lower[j].im - t.im};
                lower[j] = {lower[j].re + t.re, lower[j].im + t.im};
            }
        }
    }

    for (int i = 0; i < n / 2; ++i) {
        const Complex& x = m_pWork[i];
        out[i] = static_cast<int>(std::sqrt(x.re * x.re + x.im * x.im) / m_dNorm);
    }
}

}  // namespace tonmira::test
