#include "doc/FileSignature.h"

#include <cstdint>
#include <cstring>

namespace tonmira {

namespace {

bool At(const BYTE* head, std::size_t n, std::size_t offset, const char* label)
{
    const std::size_t size = std::strlen(label);
    return offset + size <= n && std::memcmp(head + offset, label, size) == 0;
}

// The header object GUID every ASF file (WMA) starts with.
constexpr BYTE kAsfHeader[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};

std::uint16_t BigEndian16(const BYTE* p) { return static_cast<std::uint16_t>(p[0] << 8 | p[1]); }

// The decoder of a RIFX file's samples, from its fmt chunk when that comes first (format tag at
// byte 20, bits per sample at 34, both big-endian); null for what the decoder does not read.
const char* BigEndianDecoder(const BYTE* head, std::size_t n)
{
    if (n < 36 || !At(head, n, 12, "fmt "))
        return nullptr;
    const std::uint16_t tag = BigEndian16(head + 20), bits = BigEndian16(head + 34);
    if (tag == 1)
        return bits == 8    ? "pcm_u8"
               : bits == 16 ? "pcm_s16be"
               : bits == 24 ? "pcm_s24be"
               : bits == 32 ? "pcm_s32be"
                            : nullptr;
    if (tag == 3)
        return bits == 32 ? "pcm_f32be" : bits == 64 ? "pcm_f64be" : nullptr;
    return nullptr;
}

}  // namespace

FileSignature SignatureOf(const BYTE* head, std::size_t n)
{
    FileSignature s;
    const bool wave = At(head, n, 8, "WAVE");
    if (wave && (At(head, n, 0, "RIFF") || At(head, n, 0, "RF64") || At(head, n, 0, "BW64"))) {
        s.m_bWav = true;
        s.m_pszDemuxer = "wav";
    } else if (wave && At(head, n, 0, "RIFX")) {
        s.m_pszDecoder = BigEndianDecoder(head, n);
        // Without a decoder of its own the samples would be read in the wrong byte order.
        s.m_pszDemuxer = s.m_pszDecoder ? "wav" : nullptr;
    } else if (At(head, n, 0, "FORM") && (At(head, n, 8, "AIFF") || At(head, n, 8, "AIFC"))) {
        s.m_pszDemuxer = "aiff";
    } else if (At(head, n, 0, ".snd")) {
        s.m_pszDemuxer = "au";
    } else if (At(head, n, 0, "fLaC")) {
        s.m_pszDemuxer = "flac";
    } else if (At(head, n, 0, "OggS") && n > 4 && head[4] == 0) {
        s.m_pszDemuxer = "ogg";
    } else if (At(head, n, 0, "ID3") && n > 3 && head[3] >= 2 && head[3] <= 4) {
        s.m_pszDemuxer = "mp3";  // an ID3v2 tag, then MPEG audio
    } else if (At(head, n, 4, "ftyp") && head[0] == 0) {
        s.m_pszDemuxer = "mp4";  // a box size's high byte is 0 for the small ftyp box
    } else if (n >= sizeof kAsfHeader && std::memcmp(head, kAsfHeader, sizeof kAsfHeader) == 0) {
        s.m_pszDemuxer = "asf";
    }
    return s;
}

}  // namespace tonmira
