#pragma once
// Builders for document tests: WAV bytes written field by field, and a format prompt answer.
#include <cstdint>
#include <string>

#include "doc/FormatPrompt.h"

namespace tonmira::test {

inline void PutU32(std::string& s, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xff);
}
inline void PutU16(std::string& s, std::uint16_t v)
{
    s += static_cast<char>(v & 0xff);
    s += static_cast<char>(v >> 8);
}

// A WAV file byte by byte. fmtExtra bytes follow the 16 standard fmt bytes; between holds
// complete chunks placed before the data chunk.
struct WavBytes {
    std::uint16_t formatTag = 1;
    std::uint16_t channels = 2;
    std::uint32_t rate = 44100;
    std::uint16_t bits = 16;
    std::uint16_t blockAlign = 0;  // 0: channels * bits / 8
    std::string before;  // chunks between "WAVE" and "fmt " (JUNK, bext)
    std::string fmtExtra;
    std::string between;
    std::string data;
    std::uint32_t dataSizeField = UINT32_MAX;  // UINT32_MAX: data.size()
    std::uint32_t fmtSizeField = UINT32_MAX;   // UINT32_MAX: 16 + fmtExtra.size()

    std::string Build() const
    {
        std::uint16_t align = blockAlign ? blockAlign : static_cast<std::uint16_t>(channels * bits / 8);
        std::string s = "RIFF";
        PutU32(s, static_cast<std::uint32_t>(36 + before.size() + fmtExtra.size() + between.size() + data.size()));
        s += "WAVE" + before + "fmt ";
        PutU32(s, fmtSizeField != UINT32_MAX ? fmtSizeField : static_cast<std::uint32_t>(16 + fmtExtra.size()));
        PutU16(s, formatTag);
        PutU16(s, channels);
        PutU32(s, rate);
        PutU32(s, rate * align);
        PutU16(s, align);
        PutU16(s, bits);
        s += fmtExtra;
        s += between;
        s += "data";
        PutU32(s, dataSizeField != UINT32_MAX ? dataSizeField : static_cast<std::uint32_t>(data.size()));
        s += data;
        return s;
    }
};

// The 24 bytes that follow the 16 common fmt bytes of WAVE_FORMAT_EXTENSIBLE: cbSize 22,
// valid bits, channel mask 0 and the sub-format GUID that begins with subTag (1 PCM, 3 float).
inline std::string ExtensibleExtra(std::uint16_t validBits, std::uint16_t subTag)
{
    std::string s;
    PutU16(s, 22);
    PutU16(s, validBits);
    PutU32(s, 0);
    PutU16(s, subTag);
    s += std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    return s;
}

// 16-bit little-endian samples as bytes.
inline std::string Samples16(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        PutU16(s, static_cast<std::uint16_t>(static_cast<std::int16_t>(v)));
    return s;
}

class ScriptedPrompt : public FormatPrompt {
public:
    ScriptedPrompt(UINT rate, int radio, bool ok = true) : m_nRate(rate), m_nRadio(radio), m_bOk(ok) {}
    bool Ask(FormatAnswer& answer) override
    {
        m_nAsked++;
        m_proposal = answer;
        answer.m_nSamplingRate = m_nRate;
        answer.m_nBitsRadio = m_nRadio;
        return m_bOk;
    }
    UINT m_nRate;
    int m_nRadio;
    bool m_bOk;
    int m_nAsked = 0;
    FormatAnswer m_proposal;
};

}  // namespace tonmira::test
