#include "view/ColourMap.h"

#include <cmath>

namespace tonmira::view {

const std::array<std::uint32_t, 256>& ViridisTable()
{
    static const std::array<std::uint32_t, 256> table = [] {
        // Nine evenly spaced stops of viridis; linear interpolation between them stays within a
        // few units of the full table.
        static const int kStops[9][3] = {{68, 1, 84},    {71, 45, 123},  {59, 82, 139},  {44, 114, 142}, {33, 144, 140},
                                         {39, 173, 129}, {93, 200, 99},  {170, 220, 50}, {253, 231, 37}};
        std::array<std::uint32_t, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const double pos = i * 8.0 / 255.0;
            const int k = pos >= 8.0 ? 7 : static_cast<int>(pos);
            const double f = pos - k;
            std::uint32_t rgb = 0xff000000u;
            for (int c = 0; c < 3; ++c) {
                const double v = kStops[k][c] + f * (kStops[k + 1][c] - kStops[k][c]);
                rgb |= static_cast<std::uint32_t>(std::lround(v)) << (16 - 8 * c);
            }
            t[static_cast<std::size_t>(i)] = rgb;
        }
        return t;
    }();
    return table;
}

}  // namespace tonmira::view
