#pragma once

#include "records/recordstore.h"
#include "romajiconversion.h"

#include <array>
#include <cstdint>
#include <string_view>

// What the keys of one drill were, by key and by kana, for the learner's
// records. Kana are counted by the romaji table line that typed them, so a
// key costs no lookup; the small tsu has a slot of its own after the lines.
constexpr std::uint16_t SmallTsuSlot = RomajiTableData::Capacity;
constexpr std::uint16_t KanaSlotCount = SmallTsuSlot + 1;

// The kana (CP932) of a slot.
std::string_view KanaOfSlot(std::uint16_t slot, const RomajiTableData& table);

// The kana that each key of a romaji text types, 0-based by key; a small
// tsu takes its share (SmallTsuShare) of the syllable after it.
struct KeyKana {
    std::array<std::uint16_t, RomajiText::capacity> slot {};
    std::uint16_t count = 0;
};
void MapKeysToKana(std::string_view reading, const RomajiTableData& table, std::string_view sokuon, KeyKana& out);

struct DrillTally {
    std::array<std::uint32_t, 256> keyHits {};
    std::array<std::uint32_t, 256> keyMisses {}; // charged to the key expected
    std::array<std::uint32_t, KanaSlotCount> kanaHits {};
    std::array<std::uint32_t, KanaSlotCount> kanaMisses {};

    void clear() { *this = DrillTally {}; }
    // `kana` is a slot, or out of range for a key of no kana.
    void count(char key, std::uint16_t kana, bool hit);
};

// Whether a unit of a reading is a kana (or contracted sound): letters,
// digits and signs are already counted as their keys.
bool IsKanaUnit(std::string_view cp932);

// The record of a finished drill: every key and every kana that it met.
DrillRecord MakeDrillRecord(const DrillSummary& drill, const DrillTally& tally, const RomajiTableData& table);
