#pragma once

#include "colour.h"
#include "fingers.h"
#include "keyboardlayout.h"

#include <array>
#include <cstdint>
#include <optional>

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
    // The cells of the on-screen keyboard it lights: the key, in keyColour,
    // and with Shift shown the Shift key, in shiftColour.
    std::optional<std::uint8_t> keyCell;
    std::optional<std::uint8_t> shiftCell;
    Colour shiftColour = Black;
};

// Which fingers the character `ch` needs and the key colour that follows:
// the thumbs only for a space (whatever its mask), otherwise every bit of
// the mask; the key takes the colour of the finger lit last, right little
// first and left little last, and keeps `keyColourBefore` when none is lit.
// The key cell is the character's own, none for a shifted one but "_".
FingerGuide GuideFor(char ch, const std::array<std::uint8_t, 256>& table,
                     const std::array<Colour, FingerCount>& colours, Colour keyColourBefore);

// The same with Shift shown (ShowShift): a character typed with Shift lights
// its key in the colour of the finger that strikes it (the finger of the
// key's unshifted character), and the Shift key of the other hand, whose
// little finger lights in its own colour; those two fingers alone. Any
// other character, or a key whose unshifted character names no single
// hand, is guided as GuideFor does.
FingerGuide GuideWithShift(char ch, const std::array<std::uint8_t, 256>& table,
                           const std::array<Colour, FingerCount>& colours, Colour keyColourBefore);
