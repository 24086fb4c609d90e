#include "fingerguide.h"

#include "platform.h"
#include "textfile.h"

#include <algorithm>

std::array<std::uint8_t, 256> FingerTable {};
Colour KeyColour = Black;

namespace {

struct FingerBit {
    std::uint8_t bit;
    Finger finger;
};

// The order in which the guide lights the fingers decides KeyColour.
constexpr FingerBit FingerBits[] = {
    {0x80, RightLittle}, {0x40, RightRing}, {0x20, RightMiddle}, {0x10, RightIndex},
    {0x08, LeftIndex},   {0x04, LeftMiddle}, {0x02, LeftRing},   {0x01, LeftLittle},
};
constexpr std::uint8_t LeftHand = 0x0F;
constexpr std::uint8_t RightHand = 0xF0;

// Lights the fingers of `mask`; the key takes the colour of the last lit.
void LightMask(std::uint8_t mask, const std::array<Colour, FingerCount>& colours, FingerGuide& guide)
{
    for (const FingerBit& f : FingerBits) {
        if (mask & f.bit) {
            guide.lit[f.finger] = true;
            guide.keyColour = colours[f.finger];
        }
    }
}

} // namespace

FingerTableLoad LoadFingerTable()
{
    // Only the first 256 bytes count; a longer file is not read further.
    const FileBytes file = ReadFileBytes(AppDir + "code.dat", FingerTable.size());
    if (file.status == FileStatus::CannotOpen)
        return FingerTableLoad::CannotOpen;
    if (file.status == FileStatus::ReadError)
        return FingerTableLoad::ReadError;
    if (file.bytes.size() < FingerTable.size())
        return FingerTableLoad::TooShort;
    std::copy_n(file.bytes.begin(), FingerTable.size(), FingerTable.begin());
    return FingerTableLoad::Ok;
}

FingerGuide GuideFor(char ch, const std::array<std::uint8_t, 256>& table,
                     const std::array<Colour, FingerCount>& colours, Colour keyColourBefore)
{
    FingerGuide guide;
    guide.keyColour = keyColourBefore;
    std::uint8_t mask = table[static_cast<unsigned char>(ch)];
    if (ch == ' ') {
        mask = 0;
        guide.lit[Thumbs] = true;
        guide.keyColour = colours[Thumbs];
    }
    LightMask(mask, colours, guide);
    guide.keyCell = KeyIndexFor(ch);
    return guide;
}

FingerGuide GuideWithShift(char ch, const std::array<std::uint8_t, 256>& table,
                           const std::array<Colour, FingerCount>& colours, Colour keyColourBefore)
{
    const std::optional<ShiftedKey> shifted = ShiftedKeyOf(ch);
    const std::uint8_t keyMask = shifted ? table[static_cast<unsigned char>(shifted->plain)] : 0;
    const bool left = keyMask & LeftHand;
    if (!shifted || left == bool(keyMask & RightHand))
        return GuideFor(ch, table, colours, keyColourBefore);
    FingerGuide guide;
    guide.keyColour = keyColourBefore;
    LightMask(keyMask, colours, guide);
    guide.keyCell = shifted->cell;
    const Finger shiftFinger = left ? RightLittle : LeftLittle;
    guide.lit[shiftFinger] = true;
    guide.shiftCell = left ? RightShiftCell : LeftShiftCell;
    guide.shiftColour = colours[shiftFinger];
    return guide;
}
