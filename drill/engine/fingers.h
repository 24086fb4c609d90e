#pragma once

#include <cstddef>
#include <cstdint>

// The fingers in the order of FingerColours and of both windows' finger
// rows: left little to right little, the thumbs between the hands.
enum Finger : std::uint8_t {
    LeftLittle, LeftRing, LeftMiddle, LeftIndex, Thumbs, RightIndex, RightMiddle, RightRing, RightLittle,
};
constexpr std::size_t FingerCount = 9;
