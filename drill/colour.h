#pragma once

#include <cstdint>

// A colour reference: red in the lowest byte, green in the next, blue in
// the third. Converted to the toolkit's colour only at the widget edge.
using Colour = std::uint32_t;

constexpr Colour Black = 0x000000;
constexpr Colour RGBColour(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return Colour(r) | Colour(g) << 8 | Colour(b) << 16;
}
constexpr std::uint8_t RedOf(Colour c) { return c & 0xFF; }
constexpr std::uint8_t GreenOf(Colour c) { return (c >> 8) & 0xFF; }
constexpr std::uint8_t BlueOf(Colour c) { return (c >> 16) & 0xFF; }
