#pragma once

#include "romajimatcher.h"

#include <array>
#include <cstdint>
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
