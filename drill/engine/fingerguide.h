#pragma once

#include "colour.h"
#include "fingers.h"

#include <array>
#include <cstdint>

// Finger bitmasks by character code, a copy of code.dat.
extern std::array<std::uint8_t, 256> FingerTable;
// The colour in which the on-screen keyboard lights the next key.
extern Colour KeyColour;

enum class FingerTableLoad { Ok, CannotOpen, TooShort, ReadError };
// Fills FingerTable from AppDir + "code.dat"; bytes past the 256th are
// never read. A short file leaves the table as it was.
FingerTableLoad LoadFingerTable();

struct FingerGuide {
    std::array<bool, FingerCount> lit {};
    Colour keyColour = Black; // KeyColour after the guide
};

// Which fingers the character `ch` needs and the key colour that follows:
// the thumbs only for a space (whatever its mask), otherwise every bit of
// the mask; the key takes the colour of the finger lit last, right little
// first and left little last, and keeps `keyColourBefore` when none is lit.
FingerGuide GuideFor(char ch, const std::array<std::uint8_t, 256>& table,
                     const std::array<Colour, FingerCount>& colours, Colour keyColourBefore);
