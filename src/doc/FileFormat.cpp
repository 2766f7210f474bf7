#include "doc/FileFormat.h"

#include <cstring>

namespace tonmira {

namespace {

struct Suffix {
    const char* tail;
    FileFormat format;
};

constexpr Suffix kSuffixes[] = {
    {"WAV", FileFormat::Wav},  {"WMA", FileFormat::Wma}, {"LAC", FileFormat::Flac}, {"MP3", FileFormat::Mp3},
    {"OGG", FileFormat::Ogg},  {"PUS", FileFormat::Ogg}, {"M4A", FileFormat::Mp4},  {"AAC", FileFormat::Aac},
    {"IFF", FileFormat::Aiff}, {"AIF", FileFormat::Aiff},
};

}  // namespace

FileFormat FileFormatOf(const std::string& path)
{
    std::string tail = path.size() > 3 ? path.substr(path.size() - 3) : path;
    for (char& c : tail)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');  // ASCII only: a multibyte name stays untouched
    for (const Suffix& s : kSuffixes)
        if (tail == s.tail)
            return s.format;
    return FileFormat::Text;
}

bool IsReadOnlyFormat(FileFormat format)
{
    return format != FileFormat::Wav && format != FileFormat::Text;
}

const char* DemuxerName(FileFormat format)
{
    switch (format) {
    case FileFormat::Wav: return "wav";
    case FileFormat::Wma: return "asf";
    case FileFormat::Flac: return "flac";
    case FileFormat::Mp3: return "mp3";
    case FileFormat::Ogg: return "ogg";
    case FileFormat::Mp4: return "mp4";  // one of the names of FFmpeg's QuickTime/MP4 demuxer
    case FileFormat::Aac: return "aac";  // ADTS streams
    case FileFormat::Aiff: return "aiff";
    case FileFormat::Text: break;
    }
    return nullptr;
}

}  // namespace tonmira
