#pragma once

#include "spellingtable.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

// Judges keys against every spelling an input method accepts for a reading.
// A reading is cut into the units the conversion makes (one line of the
// table each, with the small tsu before it); a unit may be typed as any
// spelling of its kana, as its single kana one after another (ki + xya for
// きゃ), with a small tsu as any spelling of っ or as the doubled first key,
// and ん as a single n before a unit whose spellings all start with another
// consonant than n or y. Everything is made once per reading, in fixed
// tables; a key allocates nothing.
class RomajiMatcher {
public:
    static constexpr std::size_t KeysPerSpelling = 16;
    static constexpr std::size_t MaxUnits = 200; // a reading of 200 bytes
    static constexpr std::size_t MaxPerUnit = 64;
    // A table may give a kana hundreds of spellings, and a unit would join
    // each with every other: a unit is offered no more spellings than this.
    static constexpr std::size_t MaxTries = 2 * MaxPerUnit;
    // Room for every unit typed with its longest spelling.
    static constexpr std::size_t LineCapacity = MaxUnits * KeysPerSpelling;
    using Spelling = FixedString<KeysPerSpelling>;
    using Line = FixedString<LineCapacity>;

    // Prepares `reading`; false when it does not convert.
    bool start(std::string_view reading, const RomajiTableData& table, std::string_view sokuon,
               const SpellingTable& spellings);

    struct Press {
        bool hit = false;
        bool done = false; // the last unit is typed
        char expected = 0; // on a miss: the key the line shows next
        // The kana of the key typed, or on a miss of the key expected: the
        // table line of its unit, or the small tsu before that line.
        std::uint16_t line = 0;
        bool smallTsu = false;
    };
    Press press(char key);

    // The keys typed so far, then the rest of the spelling being typed (the
    // first in table order still possible), then the first spelling of every
    // later unit.
    std::string_view line() const { return line_.view(); }
    std::size_t typedCount() const { return typed_.size(); }
    char nextKey() const { return line_.at(typed_.size() + 1); }
    bool done() const { return unit_ >= unitCount_; }

    // The units as line() shows them: the unit being typed, the bytes of
    // the reading each one types, and where its keys begin in line().
    std::size_t unitCount() const { return unitCount_; }
    std::size_t currentUnit() const { return unit_; }
    struct Span {
        std::size_t at, size;
    };
    Span kanaOf(std::size_t unit) const { return {units_[unit].kanaAt, units_[unit].kanaSize}; }
    std::size_t lineAt(std::size_t unit) const
    {
        return unit <= unit_ ? typedAt_[unit] : line_.size() - (shown_.size() - units_[unit].shownAt);
    }

private:
    struct Unit {
        std::uint16_t first = 0; // into spellings_
        std::uint16_t count = 0;
        std::uint16_t shownAt = 0; // its first spelling's place in shown_
        std::uint16_t kanaAt = 0;  // in the reading
        std::uint16_t kanaSize = 0;
        std::uint16_t line = 0;    // of the table, 0-based
    };

    std::span<const Spelling> spellingsOf(std::size_t unit) const
    {
        return {spellings_.data() + units_[unit].first, units_[unit].count};
    }
    // The spellings of a unit before any small tsu: into `bases`, their count returned.
    static std::uint16_t gatherBases(const RomajiEntry& entry, const RomajiTableData& table,
                                     const SpellingTable& spellings, std::array<Spelling, MaxPerUnit>& bases);
    // The unit's spellings: its bases, each after its small tsu if it has one.
    void fillUnit(Unit& unit, bool smallTsu, std::span<const Spelling> bases, std::string_view sokuon,
                  const SpellingTable& spellings);
    void allowSingleN(const std::array<bool, MaxUnits>& syllabicN);
    bool takes(std::size_t unit, std::string_view typed) const;
    bool completes(std::size_t unit, std::string_view typed) const;
    bool goesOn(std::size_t unit, std::string_view typed) const;
    // Which kana the last of `typed` types, `typed` being keys of `unit`.
    void chargeKana(std::size_t unit, std::string_view typed, Press& press) const;
    void buildLine();

    std::array<Spelling, MaxUnits * MaxPerUnit> spellings_ {};
    // How many first keys of each spelling type its small tsu.
    std::array<std::uint8_t, MaxUnits * MaxPerUnit> tsuShare_ {};
    std::size_t spellingCount_ = 0;
    std::array<Unit, MaxUnits> units_ {};
    std::size_t unitCount_ = 0;
    Line shown_;       // the first spelling of every unit, one after another
    std::size_t unit_ = 0;
    std::array<std::uint16_t, MaxUnits + 1> typedAt_ {}; // where each unit's keys began in typed_
    Spelling unitTyped_; // keys typed for the current unit
    Line typed_;
    Line line_;
};
