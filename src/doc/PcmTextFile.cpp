#include "doc/PcmTextFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "doc/Archive.h"
#include "base/Messages.h"
#include "doc/FormatPrompt.h"
#include "base/MessageSink.h"
#include "base/SampleMath.h"
#include "doc/SamplingRateValidation.h"
#include "doc/TonmiraDoc.h"

namespace tonmira {

namespace {

constexpr std::size_t kReadChunk = 64;   // characters per line read
constexpr std::size_t kMaxLine = 24;     // longer lines are not this format
constexpr std::size_t kMaxField = 11;    // "-2147483648" is the widest value written
constexpr UINT kMinFrames = 16;

// Decimal conversion as the C library's atoi does it (blanks, sign, digits, rest ignored),
// but saturating instead of overflowing; a field holds at most 11 characters anyway.
long long FieldValue(const std::string& field)
{
    std::size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || (field[i] >= '\t' && field[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-'))
        negative = field[i++] == '-';
    long long value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i)
        value = std::min<long long>(value * 10 + (field[i] - '0'), 1LL << 40);
    return negative ? -value : value;
}

// Splits a line into one or two fields. Returns the field count, or 0 when the line is
// not this format (a third field, an over-long field).
int SplitLine(const std::string& line, std::string& first, std::string& second)
{
    std::size_t comma = line.find(',');
    first = line.substr(0, comma);
    if (first.size() > kMaxField)
        return 0;
    if (comma == std::string::npos)
        return 1;
    second = line.substr(comma + 1);
    if (second.find(',') != std::string::npos || second.size() > kMaxField)
        return 0;
    return 2;
}

class TextTake {
public:
    explicit TextTake(CTonmiraDoc& doc) : m_doc(doc) {}

    // Makes room for one more frame. The block grows geometrically, so a long file costs
    // linear time; it is trimmed to the exact size at the end.
    bool Grow(std::size_t frameBytes)
    {
        std::size_t needed = (static_cast<std::size_t>(m_doc.m_nSamples) + 1) * frameBytes;
        if (m_doc.m_nSamples == UINT32_MAX)
            return false;
        if (needed <= m_capacity)
            return true;
        std::size_t capacity = std::max<std::size_t>(needed, m_capacity * 2);
        capacity = std::max<std::size_t>(capacity, 4096);
        BYTE* grown = static_cast<BYTE*>(std::realloc(m_doc.m_pData, capacity));
        if (!grown)
            return false;
        m_doc.m_pData = grown;
        m_capacity = capacity;
        return true;
    }

    void Trim(std::size_t frameBytes)
    {
        std::size_t size = static_cast<std::size_t>(m_doc.m_nSamples) * frameBytes;
        if (m_doc.m_pData && size > 0 && size < m_capacity) {
            if (BYTE* trimmed = static_cast<BYTE*>(std::realloc(m_doc.m_pData, size)))
                m_doc.m_pData = trimmed;
        }
    }

private:
    CTonmiraDoc& m_doc;
    std::size_t m_capacity = 0;
};

BOOL Discard(CTonmiraDoc& doc, const char* message)
{
    doc.m_sink.Message(message);
    doc.FreeTake();
    return 0;
}

void StoreSample(CTonmiraDoc& doc, BYTE* at, bool sixteen, long long value)
{
    int stored;
    if (sixteen) {
        stored = static_cast<int>(std::clamp<long long>(value, -32768, 32767));
        StoreS16(at, 0, stored);
    } else {
        stored = static_cast<int>(std::clamp<long long>(value, -128, 127));
        *at = static_cast<BYTE>(stored + 128);
    }
    doc.m_nPeak = std::max(doc.m_nPeak, std::abs(stored));
}

}  // namespace

BOOL ReadPcmTextFile(CTonmiraDoc& doc, CArchive& ar)
{
    WavHeader& h = doc.m_header;
    h.nChannels = 0;
    doc.m_nSamples = 0;
    FormatAnswer answer;
    answer.m_nSamplingRate = 44100;
    answer.m_nBitsRadio = 0;
    if (!doc.m_pFormatPrompt || !doc.m_pFormatPrompt->Ask(answer))
        return 0;
    // An answer the prompt should never give is taken as a cancel rather than as a format.
    if (answer.m_nSamplingRate < kMinSamplingRate || answer.m_nSamplingRate > kMaxSamplingRate ||
        (answer.m_nBitsRadio != 0 && answer.m_nBitsRadio != 1))
        return 0;
    h.nSamplesPerSec = answer.m_nSamplingRate;
    h.wBitsPerSample = answer.m_nBitsRadio == 0 ? 16 : 8;
    const bool sixteen = h.wBitsPerSample == 16;
    const std::size_t sampleBytes = sixteen ? 2 : 1;

    TextTake take(doc);
    std::string line, first, second;
    while (ar.ReadString(line, kReadChunk)) {
        // A NUL can never be part of a number; treat it as a foreign file, not as a line end.
        if (line.size() > kMaxLine || line.find('\0') != std::string::npos)
            return Discard(doc, msg::kWrongFormat);
        int fields = SplitLine(line, first, second);
        if (fields == 0 || (h.nChannels != 0 && fields != h.nChannels))
            return Discard(doc, msg::kWrongFormat);
        h.nChannels = static_cast<WORD>(fields);
        std::size_t frameBytes = sampleBytes * static_cast<std::size_t>(fields);
        if (!take.Grow(frameBytes))
            return Discard(doc, msg::kReallocFailed);
        BYTE* frame = doc.m_pData + static_cast<std::size_t>(doc.m_nSamples) * frameBytes;
        StoreSample(doc, frame, sixteen, FieldValue(first));
        if (fields == 2)
            StoreSample(doc, frame + sampleBytes, sixteen, FieldValue(second));
        ++doc.m_nSamples;
    }
    if (ar.IsError())
        return Discard(doc, msg::kReadFailed);

    take.Trim(sampleBytes * h.nChannels);
    if (doc.m_nSamples < kMinFrames) {
        doc.m_sink.Message(msg::kTooFewPoints);
        doc.FreeTake();
    }
    // Keep the frame layout fields in step with the format for every later reader.
    h.nBlockAlign = static_cast<WORD>(h.nChannels * sampleBytes);
    h.nAvgBytesPerSec = h.nBlockAlign * h.nSamplesPerSec;
    doc.m_bLock = 1;
    return 1;
}

bool WritePcmTextFile(CArchive& ar, const BYTE* data, UINT frames, int nChannels, int wBitsPerSample)
{
    const bool sixteen = wBitsPerSample == 16;
    const std::size_t sampleBytes = sixteen ? 2 : 1;
    const std::size_t values = nChannels == 1 ? 1 : 2;
    // The frame stride follows the real channel count even when only two values are written.
    const std::size_t frameBytes = sampleBytes * std::max<std::size_t>(values, nChannels > 0 ? nChannels : 0);
    auto sample = [&](const BYTE* at) { return SampleAt(at, sixteen ? 16 : 8, 0); };
    char text[32];
    for (UINT i = 0; i < frames; ++i) {
        const BYTE* frame = data + static_cast<std::size_t>(i) * frameBytes;
        int length = values == 1 ? std::snprintf(text, sizeof text, "%d\r\n", sample(frame))
                                 : std::snprintf(text, sizeof text, "%d, %d\r\n", sample(frame),
                                                 sample(frame + sampleBytes));
        if (!ar.Write(text, static_cast<std::size_t>(length)))
            return false;
    }
    return ar.Flush();
}

}  // namespace tonmira
