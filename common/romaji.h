#pragma once

#include "fixedstring.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// One line of roma.txt: the kana it spells and the keys typed for it.
struct RomajiEntry {
    FixedString<6> Kana;
    FixedString<3> Romaji;
};

struct RomajiTableData {
    static constexpr std::uint16_t Capacity = 250;

    std::array<RomajiEntry, Capacity> Entries;
    std::uint16_t Count = 0;

    const RomajiEntry& entry(std::uint16_t n) const { return Entries.at(n - 1u); }
    RomajiEntry& entry(std::uint16_t n) { return Entries.at(n - 1u); }
};

using RomajiText = FixedString<255>;

// Fills `table` and `sokuon` (the romaji written for a small tsu before a
// vowel or n) from the bytes of a roma.txt. Lines past the table's capacity
// are ignored.
void ParseRomajiTable(std::string_view bytes, RomajiTableData& table, FixedString<3>& sokuon);

struct Conversion {
    RomajiText Romaji;
    // 1-based byte position of the reading where no entry matched; 0 when
    // the whole reading converted.
    std::uint16_t FailedAt = 0;
    // Bytes of the reading converted: all of it, but for a single byte left
    // at its end, which is never converted.
    std::uint16_t Converted = 0;

    bool ok() const { return FailedAt == 0; }
};

// The conversion rules alone, on a given table; shows nothing. Both
// programs use it: the drill to make the keys to type, the editor to tell
// which readings the drill cannot type.
Conversion ConvertReading(std::string_view reading, const RomajiTableData& table, std::string_view sokuon);

// The 0-based byte position of the first character of the reading that the
// drill cannot type: one no line converts, or a single byte the conversion
// leaves at the end; nothing when every character converts.
std::optional<std::size_t> FirstUntypeable(std::string_view reading, const RomajiTableData& table,
                                           std::string_view sokuon);
