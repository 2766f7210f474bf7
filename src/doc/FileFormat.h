#pragma once
// Which reader or writer a path gets: decided only by its last three characters, upper-cased.
#include <string>

namespace tonmira {

enum class FileFormat { Wav, Wma, Text };

// "WAV" -> Wav, "WMA" -> Wma, anything else (also a path shorter than three) -> Text.
FileFormat FileFormatOf(const std::string& path);

// path + "." + extension when the file name part of path has no dot, else path unchanged: the
// default extension a save dialog adds.
std::string WithDefaultExtension(const std::string& path, const std::string& extension);

}  // namespace tonmira
