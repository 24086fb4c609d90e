#pragma once

#include "roma.h"

#include <cstdint>

// The character expected at the 1-based cursor position of a romaji text,
// or 0 past its end.
inline char ExpectedChar(const RomajiText& romaji, std::uint16_t cursorPos)
{
    return romaji.at(cursorPos);
}

// A key hits when it is exactly the expected byte: no case folding, no
// mapping; past the end nothing hits.
inline bool KeyHits(const RomajiText& romaji, std::uint16_t cursorPos, char key)
{
    return cursorPos >= 1 && cursorPos <= romaji.size() && key == romaji.at(cursorPos);
}
