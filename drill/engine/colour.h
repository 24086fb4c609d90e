#pragma once

#include <cmath>
#include <cstdint>

// A colour reference: red in the lowest byte, green in the next, blue in
// the third. Converted to the toolkit's colour only at the widget edge.
using Colour = std::uint32_t;

constexpr Colour RGBColour(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return Colour(r) | Colour(g) << 8 | Colour(b) << 16;
}
// The classic named colours of the layout.
constexpr Colour Black = 0x000000;
constexpr Colour Teal = RGBColour(0x00, 0x80, 0x80);
constexpr Colour Olive = RGBColour(0x80, 0x80, 0x00);
constexpr Colour Green = RGBColour(0x00, 0x80, 0x00);
constexpr Colour Silver = RGBColour(0xC0, 0xC0, 0xC0);
constexpr Colour Red = RGBColour(0xFF, 0x00, 0x00);

constexpr std::uint8_t RedOf(Colour c) { return c & 0xFF; }
constexpr std::uint8_t GreenOf(Colour c) { return (c >> 8) & 0xFF; }
constexpr std::uint8_t BlueOf(Colour c) { return (c >> 16) & 0xFF; }

// Black or white, whichever reads better on `background`: the one with the
// greater contrast ratio against the background's relative luminance.
inline Colour CaptionColourOn(Colour background)
{
    const auto linear = [](std::uint8_t channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const double luminance =
        0.2126 * linear(RedOf(background)) + 0.7152 * linear(GreenOf(background)) + 0.0722 * linear(BlueOf(background));
    // Black's contrast (L + 0.05) / 0.05 against white's 1.05 / (L + 0.05).
    return (luminance + 0.05) * (luminance + 0.05) > 1.05 * 0.05 ? Black : RGBColour(0xFF, 0xFF, 0xFF);
}
