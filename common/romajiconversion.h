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

// The two fields of a line of roma.txt before any cut: the kana before the
// first comma, the romaji after it; a line without one is all romaji.
struct RomajiLine {
    std::string_view kana;
    std::string_view romaji;
};
RomajiLine SplitRomajiLine(std::string_view line);

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

// The kana the conversion treats itself: it doubles what follows.
constexpr std::string_view SmallTsu = "\x82\xc1"; // っ

// The first line, in table order, whose kana the rest of a reading starts
// with; lines with an empty kana never match.
const RomajiEntry* FirstMatch(std::string_view rest, const RomajiTableData& table);

// The keys a small tsu writes before a syllable typed as `romaji`: its first
// letter once more, or `sokuon` before a vowel or n.
std::string_view SmallTsuKeys(std::string_view romaji, std::string_view sokuon);

// How many keys of a syllable typed after a small tsu belong to the tsu:
// the keys it writes, and the doubled key after a single repeated letter
// ("tta": t and t), since a learner who misses there has not doubled.
constexpr std::size_t SmallTsuShare(std::string_view tsuKeys, std::string_view syllable)
{
    const bool doubled = tsuKeys.size() == 1 && !syllable.empty() && syllable.front() == tsuKeys.front();
    return tsuKeys.size() + (doubled ? 1 : 0);
}

// One step of the conversion: the line that matched, and whether a small
// tsu stood before it.
struct ConversionStep {
    const RomajiEntry* entry;
    bool smallTsu;
};

// Walks the steps of the conversion of `reading`, handing each to `visit`,
// and fills `result`'s FailedAt and Converted. The first step always runs;
// then steps go on while more than one byte is left, so a single trailing
// byte is never converted.
template <class Visit>
void WalkConversion(std::string_view reading, const RomajiTableData& table, Conversion& result, Visit&& visit)
{
    std::size_t p = 0; // 0-based here; reported 1-based
    do {
        bool smallTsu = false;
        if (reading.substr(p, SmallTsu.size()) == SmallTsu) {
            smallTsu = true;
            p += SmallTsu.size();
        }
        const RomajiEntry* match = FirstMatch(p < reading.size() ? reading.substr(p) : std::string_view(), table);
        if (!match) {
            result.FailedAt = static_cast<std::uint16_t>(p + 1);
            return;
        }
        visit(ConversionStep {match, smallTsu});
        p += match->Kana.size();
    } while (reading.size() > p + 1);
    result.Converted = static_cast<std::uint16_t>(p < reading.size() ? p : reading.size());
}

// The conversion rules alone, on a given table; shows nothing. Both
// programs use it: the drill to make the keys to type, the editor to tell
// which readings the drill cannot type.
Conversion ConvertReading(std::string_view reading, const RomajiTableData& table, std::string_view sokuon);

// The 0-based byte position of the first character of the reading that the
// drill cannot type: one no line converts, or a single byte the conversion
// leaves at the end; nothing when every character converts.
std::optional<std::size_t> FirstUntypeable(std::string_view reading, const RomajiTableData& table,
                                           std::string_view sokuon);
