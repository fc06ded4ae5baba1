#pragma once

#include <array>
#include <cstdint>

namespace pelicard {

// A 12 x 12 picture of a screw head, [row][column], colours 0xBBGGRR.
using ScrewImage = std::array<std::array<std::uint32_t, 12>, 12>;

// The two screw heads a gauge paints: 0 with its slot across, 1 with its slot down.
const std::array<ScrewImage, 2>& StandardScrewImages();

} // namespace pelicard
