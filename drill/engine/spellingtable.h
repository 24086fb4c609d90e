#pragma once

#include "romajiconversion.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

// Every spelling that roma.txt gives each kana: a later line whose kana
// equals an earlier line's is another spelling of it. Spellings keep four
// keys, one more than the conversion's lines, for the likes of "ltsu".
struct SpellingTable {
    // The conversion's table keeps the file's first lines; the lines after
    // them can only be more spellings of kana it has.
    static constexpr std::uint16_t Capacity = RomajiTableData::Capacity + 50;
    using Keys = FixedString<4>;
    static constexpr std::int16_t None = -1;

    struct Group {
        std::uint16_t first = 0; // into `keys`
        std::uint16_t count = 0;
    };

    // The spellings of each distinct kana together, in file order.
    std::array<Keys, Capacity> keys {};
    std::array<Group, Capacity> groups {};
    std::uint16_t groupCount = 0;
    // For each line of the file, 0-based as RomajiTableData's entries: the
    // group of its kana, and the groups of its single kana when it spells
    // several (None when one of them has no line of its own).
    std::array<std::uint16_t, Capacity> groupOfLine {};
    std::array<std::array<std::int16_t, 3>, Capacity> partsOfLine {};
    std::int16_t smallTsuGroup = None;
    // ん may be a single n before another consonant, as an input method
    // takes it.
    bool singleN = true;

    std::span<const Keys> spellings(std::int16_t group) const
    {
        if (group < 0 || group >= groupCount)
            return {};
        const Group& g = groups[std::size_t(group)];
        return {keys.data() + g.first, g.count};
    }
};

// Fills the table from the bytes of a roma.txt, read by the same line rules
// as the romaji table.
void ParseSpellings(std::string_view bytes, SpellingTable& table);
