#pragma once
// Which reader or writer a path gets: decided only by its last three characters, upper-cased.
#include <string>

namespace tonmira {

enum class FileFormat { Wav, Wma, Text };

// "WAV" -> Wav, "WMA" -> Wma, anything else (also a path shorter than three) -> Text.
FileFormat FileFormatOf(const std::string& path);

}  // namespace tonmira
