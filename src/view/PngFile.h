#pragma once
// Writes a picture as an 8-bit RGB PNG file (libpng), for the spectrogram's export.
#include <cstdint>
#include <string>
#include <vector>

namespace tonmira::view {

// pixels: width x height values 0xffRRGGBB, row after row from the top. Returns false, with
// nothing left at path, when the file cannot be written.
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint32_t>& pixels);

}  // namespace tonmira::view
