#pragma once

#include "captionid.h"
#include "fingers.h"

#include <cstdint>
#include <iterator>
#include <optional>

// The JIS keyboard as the keyboard window draws it: five rows of cells in
// a window of 251 x 126, each caption a full-width character, and the
// finger row under them. The records window draws the keys larger.
constexpr std::int32_t KeyboardDrawnWidth = 251;
constexpr std::int32_t KeyboardDrawnHeight = 126;
// The five rows of keys, without the finger row.
constexpr int KeyRowsHeight = 90;

struct KeyCell {
    const char* caption;
    const char* name;
    int left;
    int top;
    int width;
    int index; // in KeyLabels
};

constexpr int KeyCellSize = 12;
constexpr std::size_t KeyLabelCount = 51;
constexpr int SpaceBarCell = 10;
constexpr std::uint8_t LeftShiftCell = 49;  // Label_s1
constexpr std::uint8_t RightShiftCell = 50; // Label_s2

inline constexpr KeyCell KeyCells[] = {
    {"１", "Label1n", 16, 8, 12, 1}, {"２", "Label2n", 32, 8, 12, 2}, {"３", "Label3n", 48, 8, 12, 3},
    {"４", "label4n", 64, 8, 12, 4}, {"５", "Label5n", 80, 8, 12, 5}, {"６", "Label6n", 96, 8, 12, 6},
    {"７", "Label7n", 112, 8, 12, 7}, {"８", "Label8n", 128, 8, 12, 8}, {"９", "Label9n", 144, 8, 12, 9},
    {"０", "Label0n", 160, 8, 12, 0}, {"－", "Label_m", 176, 8, 12, 37}, {"＾", "Label_h", 192, 8, 12, 38},
    {"￥", "Label_y", 208, 8, 12, 39},

    {"ｑ", "Label17", 24, 24, 12, 27}, {"ｗ", "Label23", 40, 24, 12, 33}, {"ｅ", "Label05", 56, 24, 12, 15},
    {"ｒ", "Label18", 72, 24, 12, 28}, {"ｔ", "Label20", 88, 24, 12, 30}, {"ｙ", "Label25", 104, 24, 12, 35},
    {"ｕ", "Label21", 120, 24, 12, 31}, {"ｉ", "Label09", 136, 24, 12, 19}, {"ｏ", "Label15", 152, 24, 12, 25},
    {"ｐ", "Label16", 168, 24, 12, 26}, {"＠", "Label_a", 184, 24, 12, 40}, {"［", "Label_kb", 200, 24, 12, 41},

    {"ａ", "Label01", 32, 40, 12, 11}, {"ｓ", "Label19", 48, 40, 12, 29}, {"ｄ", "Label04", 64, 40, 12, 14},
    {"ｆ", "Label06", 80, 40, 12, 16}, {"ｇ", "Label07", 96, 40, 12, 17}, {"ｈ", "Label08", 112, 40, 12, 18},
    {"ｊ", "Label10", 128, 40, 12, 20}, {"ｋ", "Label11", 144, 40, 12, 21}, {"ｌ", "Label12", 160, 40, 12, 22},
    {"；", "Label35", 176, 40, 12, 42}, {"：", "Label36", 192, 40, 12, 43}, {"］", "Label_ke", 208, 40, 12, 44},

    {"Shift", "Label_s1", 7, 56, 30, 49}, {"ｚ", "Label26", 40, 56, 12, 36}, {"ｘ", "Label24", 56, 56, 12, 34},
    {"ｃ", "Label03", 72, 56, 12, 13}, {"ｖ", "Label22", 88, 56, 12, 32}, {"ｂ", "label02", 104, 56, 12, 12},
    {"ｎ", "Label14", 120, 56, 12, 24}, {"ｍ", "Label13", 136, 56, 12, 23}, {"，", "Label_k", 152, 56, 12, 45},
    {"．", "Label_p", 168, 56, 12, 46}, {"／", "Label47", 184, 56, 12, 47}, {"＼", "Label48", 200, 56, 12, 48},
    {"Shift", "Label_s2", 216, 56, 30, 50},

    {"　　　　　　　", "Label_sp", 80, 72, 84, 10},
};
static_assert(std::size(KeyCells) == KeyLabelCount);

// The finger row under the keys.
struct KeyboardFingerCell {
    const char* caption;
    const char* name;
    int left;
    int width;
    Finger finger;
};

constexpr int KeyboardFingerRowTop = 104;
inline constexpr KeyboardFingerCell KeyboardFingerCells[] = {
    {"小", "l_ko", 32, 12, LeftLittle}, {"薬", "l_ku", 48, 12, LeftRing},   {"中", "l_na", 64, 12, LeftMiddle},
    {"人", "l_hi", 80, 12, LeftIndex},  {"親   親", "oya", 96, 42, Thumbs}, {"人", "r_hi", 144, 12, RightIndex},
    {"中", "r_na", 160, 12, RightMiddle}, {"薬", "r_ku", 176, 12, RightRing}, {"小", "r_ko", 192, 12, RightLittle},
};

// The drill window's finger labels, yubi1 to yubi4, yubi0, yubi5 to
// yubi8, left to right; the settings window draws its colour pickers
// after them.
struct DrillFingerCell {
    CaptionId caption;
    int left;
    int width;
    Finger finger;
};
inline constexpr DrillFingerCell DrillFingerCells[] = {
    {CaptionId::LittleFinger, 24, 32, LeftLittle},  {CaptionId::RingFinger, 72, 32, LeftRing},
    {CaptionId::MiddleFinger, 120, 32, LeftMiddle}, {CaptionId::IndexFinger, 168, 48, LeftIndex},
    {CaptionId::Thumbs, 240, 32, Thumbs},           {CaptionId::IndexFinger, 312, 48, RightIndex},
    {CaptionId::MiddleFinger, 368, 32, RightMiddle}, {CaptionId::RingFinger, 416, 32, RightRing},
    {CaptionId::LittleFinger, 464, 32, RightLittle},
};
static_assert(std::size(DrillFingerCells) == FingerCount);

// Index into the on-screen keyboard's KeyLabels of the key that types `ch`,
// or nothing for a character without a cell of its own.
std::optional<std::uint8_t> KeyIndexFor(char ch);

// The key cell of a character, shifted ones on their key: "!" on 1, "A"
// on a.
std::optional<std::uint8_t> KeyCellOf(char ch);

// A character typed with Shift: the cell of its key, and the character
// that key types without Shift, whose finger strikes it ("\\" for "_":
// both the yen key and the key right of "/" type it unshifted in CP932).
struct ShiftedKey {
    std::uint8_t cell;
    char plain;
};
std::optional<ShiftedKey> ShiftedKeyOf(char ch);
