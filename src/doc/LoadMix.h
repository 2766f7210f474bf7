#pragma once
// The mono buffer of a two-channel WAV take made while the take is read, block by block, each
// block mixed while it is still in the cache: the same buffer and peak as MixStereo16/MixStereo8
// over the whole take once it is read, without reading the take back from memory.
#include <cstddef>

#include "base/Types.h"
#include "doc/WavFile.h"

namespace tonmira {

class LoadMix : public WavDataSink {
public:
    explicit LoadMix(int balance);
    ~LoadMix() override;
    LoadMix(const LoadMix&) = delete;
    LoadMix& operator=(const LoadMix&) = delete;

    // Wants the blocks of a two-channel take only, and only when its buffer could be had (else
    // the usual mix after the read gives the memory message).
    bool Begin(const WavHeader& format, std::size_t bytes) override;
    void Read(const BYTE* data, std::size_t read) override;

    // The mono buffer (released with std::free) when exactly the first frames frames were mixed,
    // and peak raised by their peak; otherwise null and peak untouched.
    BYTE* Take(UINT frames, int& peak);

private:
    float m_left = 0.5f;
    float m_right = 0.5f;
    BYTE* m_pMono = nullptr;
    std::size_t m_nFrameBytes = 0;
    std::size_t m_nCapacity = 0;  // frames the buffer holds
    UINT m_nMixed = 0;
    int m_nPeak = 0;
};

}  // namespace tonmira
