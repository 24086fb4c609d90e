#pragma once

#include "colour.h"
#include "keyboardlayout.h"

#include <array>
#include <cstdint>

// The values the settings file provides, read once at start-up: the
// window places, the finger colours and what the options remember (the
// options themselves are in options.h). Until it is read they hold their
// defaults.
extern std::int32_t MainX;
extern std::int32_t MainY;
extern std::int32_t KeyboardX;
extern std::int32_t KeyboardY;
// Left little, left ring, left middle, left index, thumbs, right index,
// right middle, right ring, right little.
extern std::array<Colour, FingerCount> FingerColours;
// Kept for the next start when RememberChoice is on: the mode and level
// numbers, from 1.
extern int RememberedMode;
extern int RememberedLevel;
// The keyboard window's width when ResizableKeyboard is on; its height
// follows its shape.
extern std::int32_t KeyboardWidth;
constexpr std::int32_t KeyboardLargestWidth = KeyboardDrawnWidth * 6;
// "おすすめ": half as large again as drawn, its captions 18 pixels high.
constexpr std::int32_t RecommendedKeyboardWidth = (KeyboardDrawnWidth * 3 + 1) / 2;

constexpr std::array<Colour, FingerCount> DefaultFingerColours {
    255, 16776960, 16711935, 65535, 255, 65280, 16711935, 16776960, 255,
};

// A sum of 32-bit values read from the file, wrapped as 32-bit two's
// complement: they may be anything, and the sum must be defined.
constexpr std::int32_t WrappedSum(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// The default places centre the windows on a screen of this size; the
// keyboard's top follows the drill window's top as read.
std::int32_t DefaultMainX(std::int32_t screenWidth);
std::int32_t DefaultMainY(std::int32_t screenHeight);
std::int32_t DefaultKeyboardX(std::int32_t screenWidth);
std::int32_t DefaultKeyboardY(std::int32_t mainY);
