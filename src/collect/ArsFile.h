#pragma once
// The collection settings file (.ars): a flat little-endian record with no header or version.
// Current layout, 332 bytes: bits, collection level, play level, continuous time, a 260-byte
// zero-terminated folder, then the flags, counts, band and the six float bounds.
// The older 328-byte layout lacks the play level; it is still read.
#include <cstddef>
#include <string>

#include "collect/CollectSettings.h"

namespace tonmira {

constexpr std::size_t kArsFileSize = 332;
constexpr std::size_t kArsOldFileSize = 328;
constexpr std::size_t kArsFolderFieldSize = 260;

// The 332-byte record. The folder is cut to at most 259 bytes (at a UTF-8 character
// boundary, so the stored path stays valid text) plus its terminator; the rest of the
// field is zero.
std::string EncodeArs(int nBits, const CollectSettings& settings);

// Reads a record of any length into bits and settings. Only a record of exactly 332 bytes
// carries the play level; any other length is read in the older layout. A field is taken only
// when all its bytes are present (the folder once its terminator is present, or all 260 bytes);
// the fields beyond the end keep their values. Values are taken as stored, absurd ones included.
void DecodeArs(const std::string& bytes, int& nBits, CollectSettings& settings);

// File versions of the above. Both return false on any file error (cannot open, read or write);
// a failed load changes nothing; a failed save leaves the old file as it was (the save goes
// through WriteFileSafely). Neither shows a message: the caller owns the wording.
bool SaveArsFile(const std::string& path, int nBits, const CollectSettings& settings);
bool LoadArsFile(const std::string& path, int& nBits, CollectSettings& settings);

}  // namespace tonmira
