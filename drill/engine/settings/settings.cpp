#include "settings/settings.h"

std::int32_t MainX = 0;
std::int32_t MainY = 0;
std::int32_t KeyboardX = 0;
std::int32_t KeyboardY = 0;
std::array<Colour, FingerCount> FingerColours = DefaultFingerColours;
int RememberedMode = 1;
int RememberedLevel = 1;
std::int32_t KeyboardWidth = KeyboardDrawnWidth;

std::int32_t DefaultMainX(std::int32_t screenWidth) { return screenWidth / 2 - 320; }
std::int32_t DefaultMainY(std::int32_t screenHeight) { return screenHeight / 2 - 236; }
std::int32_t DefaultKeyboardX(std::int32_t screenWidth) { return screenWidth / 2 - 130; }
// MainY comes from the file and may be any 32-bit value.
std::int32_t DefaultKeyboardY(std::int32_t mainY)
{
    return WrappedSum(mainY, 320);
}
