#pragma once
// The integer widths the document and the device layer are defined in.
#include <cstdint>

namespace tonmira {

using UINT = std::uint32_t;  // frame indices and counts
using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using BYTE = std::uint8_t;
using BOOL = int;            // 0 = no / failed, non-zero = yes / done

}  // namespace tonmira
