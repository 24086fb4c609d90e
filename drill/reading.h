#pragma once

#include "roma.h"
#include "romajimatch.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The kana of a reading beside the keys that type them: group g is the
// bytes [kanaAt, kanaAt + kanaSize) of the reading, typed by the keys
// [keysAt, keysAt + keysSize) of the romaji row.
struct KanaGroups {
    static constexpr std::size_t Capacity = RomajiMatcher::MaxUnits;
    struct Group {
        std::uint16_t kanaAt = 0, kanaSize = 0;
        std::uint16_t keysAt = 0, keysSize = 0;
    };
    std::array<Group, Capacity> groups {};
    std::size_t count = 0;
};

// The groups of the spelling shown: one per step of the conversion, a small
// tsu with the kana it doubles; keys past `keyLimit` (the romaji text's
// length) are in no group.
void GroupByConversion(std::string_view reading, const RomajiTableData& table, std::string_view sokuon,
                       std::size_t keyLimit, KanaGroups& out);
// The groups of the matcher's line as it stands: one per unit.
void GroupByMatcher(const RomajiMatcher& matcher, KanaGroups& out);
// The group whose keys hold the 0-based key position; `count` past the last.
std::size_t GroupOfKey(const KanaGroups& groups, std::size_t key);

// Where a row wider than its room starts to show, in pixels from its own
// start, so that the next key at `nextAt` and `ahead` pixels after it are
// in view: the scroll stays while they are, else the next key moves to a
// third of the room; never past the row's end, 0 for a row that fits.
int RowScroll(int current, int rowWidth, int room, int nextAt, int ahead);

// The count beside the clock: "37 / 100" in a character trial, the hits
// alone in a time trial.
std::string ProgressText(std::uint16_t hits, std::uint8_t mode);
