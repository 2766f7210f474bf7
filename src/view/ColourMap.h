#pragma once
// A perceptually uniform colour map (viridis: dark blue through green to yellow, brightness
// rising evenly, readable in greyscale and by most colour-blind readers) for levels 0..255.
#include <array>
#include <cstdint>

namespace tonmira::view {

// 0xffRRGGBB for each level, 0 darkest.
const std::array<std::uint32_t, 256>& ViridisTable();

}  // namespace tonmira::view
