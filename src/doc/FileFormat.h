#pragma once
// Which reader or writer a path gets: decided only by its last three characters, upper-cased.
#include <string>

namespace tonmira {

// Wav and Text are read and written; every other format is only read, decoded through FFmpeg.
enum class FileFormat { Wav, Wma, Flac, Mp3, Ogg, Mp4, Aac, Aiff, Text };

// "WAV" -> Wav, "WMA" -> Wma, "LAC" -> Flac, "MP3" -> Mp3, "OGG" and "PUS" (Opus lives in Ogg)
// -> Ogg, "M4A" -> Mp4, "AAC" -> Aac, "IFF" and "AIF" -> Aiff; anything else (also a path
// shorter than three) -> Text.
FileFormat FileFormatOf(const std::string& path);

// True for the formats the program reads but never writes.
bool IsReadOnlyFormat(FileFormat format);

// The FFmpeg demuxer that reads a read-only format (and "wav" for WAV files the plain reader
// hands over); null for Text.
const char* DemuxerName(FileFormat format);

}  // namespace tonmira
