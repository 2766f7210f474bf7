#include "collect/ArsFile.h"

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "doc/SafeFileWriter.h"

namespace tonmira {

namespace {

void PutInt(std::string& out, std::int32_t value)
{
    auto u = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

void PutFloat(std::string& out, float value) { PutInt(out, std::bit_cast<std::int32_t>(value)); }

// Length of the longest prefix of at most maxBytes that does not split a UTF-8 sequence.
std::size_t Utf8CutLength(const std::string& text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text.size();
    std::size_t n = maxBytes;
    // Continuation bytes are 10xxxxxx; back up to the lead byte of the cut character.
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    return n;
}

// Sequential reader over a record that may end early.
class RecordReader {
public:
    explicit RecordReader(const std::string& bytes) : m_bytes(bytes) {}

    bool Int(int& value)
    {
        if (m_nOffset + 4 > m_bytes.size()) {
            m_nOffset = m_bytes.size();
            return false;
        }
        std::uint32_t u = 0;
        for (int i = 0; i < 4; ++i)
            u |= static_cast<std::uint32_t>(static_cast<unsigned char>(m_bytes[m_nOffset + i])) << (8 * i);
        m_nOffset += 4;
        value = static_cast<std::int32_t>(u);
        return true;
    }

    bool Float(float& value)
    {
        int raw = 0;
        if (!Int(raw))
            return false;
        value = std::bit_cast<float>(static_cast<std::int32_t>(raw));
        return true;
    }

    bool Folder(std::string& value)
    {
        std::size_t available = m_bytes.size() > m_nOffset ? m_bytes.size() - m_nOffset : 0;
        std::size_t field = available < kArsFolderFieldSize ? available : kArsFolderFieldSize;
        const char* start = m_bytes.data() + m_nOffset;
        const void* zero = std::memchr(start, '\0', field);
        m_nOffset += field;
        if (zero) {
            value.assign(start, static_cast<const char*>(zero));
            return true;
        }
        if (field == kArsFolderFieldSize) {
            value.assign(start, field);
            return true;
        }
        return false;  // cut off inside the text: keep the old folder rather than half a path
    }

private:
    const std::string& m_bytes;
    std::size_t m_nOffset = 0;
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

std::string EncodeArs(int nBits, const CollectSettings& s)
{
    std::string out;
    out.reserve(kArsFileSize);
    PutInt(out, nBits);
    PutInt(out, s.m_nCollectLevel);
    PutInt(out, s.m_nPlayLevel);
    PutInt(out, s.m_nContinuousMs);
    std::string folder(kArsFolderFieldSize, '\0');
    std::size_t n = Utf8CutLength(s.m_strOutputFolder, kArsFolderFieldSize - 1);
    std::memcpy(folder.data(), s.m_strOutputFolder.data(), n);
    out += folder;
    PutInt(out, s.m_bSaveAmplified);
    PutInt(out, s.m_bSaveRejected);
    PutInt(out, s.m_nPlayCount);
    PutInt(out, s.m_bAlwaysMax);
    PutInt(out, s.m_nAmpFactor);
    PutInt(out, s.m_nBandLowHz);
    PutInt(out, s.m_nBandHighHz);
    PutInt(out, s.m_nExcludeHz);
    PutFloat(out, s.m_fIntegLow);
    PutFloat(out, s.m_fIntegHigh);
    PutFloat(out, s.m_fPointsLow);
    PutFloat(out, s.m_fPointsHigh);
    PutFloat(out, s.m_fStdDevLow);
    PutFloat(out, s.m_fStdDevHigh);
    return out;
}

void DecodeArs(const std::string& bytes, int& nBits, CollectSettings& s)
{
    RecordReader in(bytes);
    // Each step runs only while the previous one found its bytes: the record is read in order
    // and stops at its end.
    if (!in.Int(nBits) || !in.Int(s.m_nCollectLevel))
        return;
    if (bytes.size() == kArsFileSize && !in.Int(s.m_nPlayLevel))
        return;
    if (!in.Int(s.m_nContinuousMs) || !in.Folder(s.m_strOutputFolder))
        return;
    if (!in.Int(s.m_bSaveAmplified) || !in.Int(s.m_bSaveRejected) || !in.Int(s.m_nPlayCount) ||
        !in.Int(s.m_bAlwaysMax) || !in.Int(s.m_nAmpFactor) || !in.Int(s.m_nBandLowHz) ||
        !in.Int(s.m_nBandHighHz) || !in.Int(s.m_nExcludeHz))
        return;
    if (!in.Float(s.m_fIntegLow) || !in.Float(s.m_fIntegHigh) || !in.Float(s.m_fPointsLow) ||
        !in.Float(s.m_fPointsHigh) || !in.Float(s.m_fStdDevLow))
        return;
    in.Float(s.m_fStdDevHigh);
}

bool SaveArsFile(const std::string& path, int nBits, const CollectSettings& settings)
{
    std::string record = EncodeArs(nBits, settings);
    return WriteFileSafely(path, [&](CArchive& ar) { return ar.Write(record.data(), record.size()); });
}

bool LoadArsFile(const std::string& path, int& nBits, CollectSettings& settings)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return false;
    // One byte more than the current layout tells "exactly 332" from "longer"; nothing
    // beyond that is ever needed, so a huge file chosen by mistake is not read in full.
    std::string bytes(kArsFileSize + 1, '\0');
    std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
    if (std::ferror(file.get()))
        return false;
    bytes.resize(got);
    DecodeArs(bytes, nBits, settings);
    return true;
}

}  // namespace tonmira
