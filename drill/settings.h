#pragma once

#include "colour.h"

#include <array>
#include <cstdint>

// The values the settings file provides, read once at start-up. Until it is
// read they hold their defaults.
extern std::int32_t MainX;
extern std::int32_t MainY;
extern std::int32_t KeyboardX;
extern std::int32_t KeyboardY;
// Left little, left ring, left middle, left index, thumbs, right index,
// right middle, right ring, right little.
extern std::array<Colour, 9> FingerColours;
extern bool ShowKeyboard;
extern bool KeySound;
// Off: a key must be the one byte shown. On: any spelling an input method
// accepts is a hit.
extern bool FlexibleRomaji;
// On: every finished drill is kept in the learner's records.
extern bool Records;
// On: the course of lessons, which keeps records whatever Records says.
extern bool Lessons;
// On: every lesson may be played, passed or not (a parent's choice).
extern bool AllLessonsOpen;
inline bool RecordsKept() { return Records || Lessons; }
// The teaching aids, each off unless the file turns it on.
extern bool ShowReading;    // the kana reading, the kana being typed marked
extern bool ShowProgress;   // the hits against the trial's target
extern bool EscapeEnds;     // Esc leaves a drill as the close box does
extern bool RememberChoice; // the mode and level last started, kept
extern bool ResizableKeyboard;

// Kept for the next start when RememberChoice is on: the mode and level
// numbers, from 1.
extern int RememberedMode;
extern int RememberedLevel;
// The keyboard window's width when ResizableKeyboard is on; its height
// follows its shape.
extern std::int32_t KeyboardWidth;
constexpr std::int32_t KeyboardDrawnWidth = 251;
constexpr std::int32_t KeyboardDrawnHeight = 126;
constexpr std::int32_t KeyboardLargestWidth = KeyboardDrawnWidth * 6;

constexpr std::array<Colour, 9> DefaultFingerColours {
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
