#include "romajimatcher.h"

#include <algorithm>

namespace {

constexpr std::string_view SyllabicN = "\x82\xf1"; // ん

// ん may be typed as a single n only where the next key cannot be read as
// part of it: before a consonant other than n or y.
bool StartsWithOtherConsonant(std::string_view keys)
{
    if (keys.empty())
        return false;
    const char c = keys.front();
    return c >= 'a' && c <= 'z' && std::string_view("aeiouny").find(c) == std::string_view::npos;
}

// Gathers a unit's spellings, each once, up to the unit's capacity. A table
// may give a kana hundreds of spellings, and a unit would join each with
// every other: after MaxTries offers it takes no more, and a small hash set
// finds a double without comparing it with every spelling.
class SpellingCollector {
public:
    using Spelling = RomajiMatcher::Spelling;

    SpellingCollector(Spelling* spellings, std::uint16_t& count) : spellings_(spellings), count_(count) {}

    // Adds the keys joined, unless they are a spelling already or were cut
    // short (at the capacity, or at a lone lead byte); false once the unit
    // takes no more.
    bool offer(std::string_view a, std::string_view b = {}, std::string_view c = {})
    {
        if (count_ == RomajiMatcher::MaxPerUnit || tries_ == RomajiMatcher::MaxTries)
            return false;
        ++tries_;
        Spelling spelling(a);
        spelling.append(b);
        spelling.append(c);
        if (spelling.size() != a.size() + b.size() + c.size())
            return true;
        std::size_t slot = Hash(spelling) % slots_.size();
        for (; slots_[slot] != 0; slot = (slot + 1) % slots_.size())
            if (spellings_[slots_[slot] - 1].view() == spelling.view())
                return true;
        spellings_[count_++] = spelling;
        slots_[slot] = static_cast<std::uint8_t>(count_);
        return true;
    }

private:
    static std::size_t Hash(std::string_view keys)
    {
        std::size_t h = 2166136261u; // FNV-1a
        for (const char c : keys)
            h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
        return h;
    }

    Spelling* spellings_;
    std::uint16_t& count_;
    std::size_t tries_ = 0;
    std::array<std::uint8_t, 2 * RomajiMatcher::MaxPerUnit> slots_ {}; // 1-based into spellings_; 0 is free
};

} // namespace

std::uint16_t RomajiMatcher::gatherBases(const RomajiEntry& entry, const RomajiTableData& table,
                                         const SpellingTable& spellings, std::array<Spelling, MaxPerUnit>& bases)
{
    // The conversion's spelling first, then every line of its kana, then
    // its single kana one after another.
    std::uint16_t count = 0;
    SpellingCollector base(bases.data(), count);
    const auto line = std::size_t(&entry - table.Entries.data());
    base.offer(entry.Romaji);
    for (const auto& k : spellings.spellings(std::int16_t(spellings.groupOfLine[line])))
        if (!base.offer(k))
            return count;
    const auto& parts = spellings.partsOfLine[line];
    if (parts[0] == SpellingTable::None)
        return count;
    for (const auto& a : spellings.spellings(parts[0]))
        for (const auto& b : spellings.spellings(parts[1])) {
            if (parts[2] == SpellingTable::None) {
                if (!base.offer(a, b))
                    return count;
                continue;
            }
            for (const auto& c : spellings.spellings(parts[2]))
                if (!base.offer(a, b, c))
                    return count;
        }
    return count;
}

void RomajiMatcher::fillUnit(Unit& unit, bool smallTsu, std::span<const Spelling> bases, std::string_view sokuon,
                             const SpellingTable& spellings)
{
    SpellingCollector own(spellings_.data() + unit.first, unit.count);
    // Each new spelling notes how many of its first keys type the tsu.
    const auto offer = [&](std::string_view tsu, std::string_view keys) {
        const std::uint16_t before = unit.count;
        const bool more = own.offer(tsu, keys);
        if (unit.count > before)
            tsuShare_[unit.first + before] = std::uint8_t(tsu.empty() ? 0 : SmallTsuShare(tsu, keys));
        return more;
    };
    for (const Spelling& base : bases) {
        const std::string_view tsu = smallTsu ? SmallTsuKeys(base, sokuon) : std::string_view();
        if ((!tsu.empty() || !base.empty()) && !offer(tsu, base))
            return;
    }
    if (!smallTsu)
        return;
    // A small tsu may also be typed as any spelling of its own.
    for (const auto& tsu : spellings.spellings(spellings.smallTsuGroup))
        for (const Spelling& base : bases)
            if (!offer(tsu, base))
                return;
}

void RomajiMatcher::allowSingleN(const std::array<bool, MaxUnits>& syllabicN)
{
    // Whether ん may be a single n depends on the unit after it.
    for (std::size_t u = 0; u + 1 < unitCount_; ++u) {
        if (!syllabicN[u] || units_[u].count >= MaxPerUnit)
            continue;
        const auto next = spellingsOf(u + 1);
        if (!std::all_of(next.begin(), next.end(), [](const Spelling& s) { return StartsWithOtherConsonant(s); }))
            continue;
        // The unit's spellings end where the next unit's begin: make room.
        std::copy_backward(spellings_.begin() + units_[u + 1].first, spellings_.begin() + spellingCount_,
                           spellings_.begin() + spellingCount_ + 1);
        std::copy_backward(tsuShare_.begin() + units_[u + 1].first, tsuShare_.begin() + spellingCount_,
                           tsuShare_.begin() + spellingCount_ + 1);
        for (std::size_t later = u + 1; later < unitCount_; ++later)
            ++units_[later].first;
        ++spellingCount_;
        tsuShare_[units_[u].first + units_[u].count] = 0;
        spellings_[units_[u].first + units_[u].count++] = Spelling("n");
    }
}

bool RomajiMatcher::start(std::string_view reading, const RomajiTableData& table, std::string_view sokuon,
                          const SpellingTable& spellings)
{
    unitCount_ = 0;
    spellingCount_ = 0;
    unit_ = 0;
    unitTyped_.clear();
    typed_.clear();
    shown_.clear();
    std::array<bool, MaxUnits> syllabicN {};
    std::size_t kanaAt = 0;
    Conversion conversion;
    WalkConversion(reading, table, conversion, [&](const ConversionStep& step) {
        const std::size_t stepAt = kanaAt;
        kanaAt += (step.smallTsu ? SmallTsu.size() : 0) + step.entry->Kana.size();
        // A step that writes nothing asks for no key, whatever other
        // spellings its kana has.
        if (unitCount_ == MaxUnits || step.entry->Romaji.empty())
            return;
        std::array<Spelling, MaxPerUnit> bases {};
        const std::uint16_t baseCount = gatherBases(*step.entry, table, spellings, bases);
        Unit& unit = units_[unitCount_];
        unit = Unit {std::uint16_t(spellingCount_), 0, std::uint16_t(shown_.size()), std::uint16_t(stepAt),
                     std::uint16_t(kanaAt - stepAt), std::uint16_t(step.entry - table.Entries.data())};
        fillUnit(unit, step.smallTsu, std::span<const Spelling>(bases.data(), baseCount), sokuon, spellings);
        if (unit.count == 0)
            return;
        shown_.append(spellings_[unit.first]);
        syllabicN[unitCount_] = !step.smallTsu && step.entry->Kana == SyllabicN;
        spellingCount_ += unit.count;
        ++unitCount_;
    });
    if (!conversion.ok())
        return false;
    if (spellings.singleN)
        allowSingleN(syllabicN);
    buildLine();
    return true;
}

bool RomajiMatcher::takes(std::size_t unit, std::string_view typed) const
{
    for (const Spelling& s : spellingsOf(unit))
        if (s.view().starts_with(typed))
            return true;
    return false;
}

bool RomajiMatcher::completes(std::size_t unit, std::string_view typed) const
{
    for (const Spelling& s : spellingsOf(unit))
        if (s.view() == typed)
            return true;
    return false;
}

bool RomajiMatcher::goesOn(std::size_t unit, std::string_view typed) const
{
    for (const Spelling& s : spellingsOf(unit))
        if (s.size() > typed.size() && s.view().starts_with(typed))
            return true;
    return false;
}

void RomajiMatcher::chargeKana(std::size_t unit, std::string_view typed, Press& press) const
{
    press.line = units_[unit].line;
    press.smallTsu = false;
    const auto spellings = spellingsOf(unit);
    for (std::size_t i = 0; i < spellings.size(); ++i)
        if (spellings[i].view().starts_with(typed)) {
            press.smallTsu = typed.size() <= tsuShare_[units_[unit].first + i];
            return;
        }
}

RomajiMatcher::Press RomajiMatcher::press(char key)
{
    Press result;
    if (done())
        return result;
    const std::string_view one(&key, 1);
    Spelling longer = unitTyped_;
    longer.append(one);
    if (longer.size() == unitTyped_.size() + 1 && takes(unit_, longer)) {
        unitTyped_ = longer;
    } else if (unit_ + 1 < unitCount_ && completes(unit_, unitTyped_) && takes(unit_ + 1, one)) {
        // The unit was typed whole; no longer spelling went on with this key,
        // which begins the next unit.
        typedAt_[++unit_] = std::uint16_t(typed_.size());
        unitTyped_.assign(one);
    } else {
        result.expected = nextKey();
        // The key due is the next of the spelling shown for this unit, or
        // the first of the next unit when this one is typed whole.
        Spelling due = unitTyped_;
        due.append(result.expected);
        if (takes(unit_, due))
            chargeKana(unit_, due, result);
        else if (unit_ + 1 < unitCount_)
            chargeKana(unit_ + 1, std::string_view(&result.expected, 1), result);
        return result;
    }
    chargeKana(unit_, unitTyped_, result);
    typed_.append(one);
    // A complete spelling ends its unit at once unless a longer one may go
    // on with the next key; the last unit has no next key to wait for.
    if (completes(unit_, unitTyped_) && (unit_ + 1 == unitCount_ || !goesOn(unit_, unitTyped_))) {
        typedAt_[++unit_] = std::uint16_t(typed_.size());
        unitTyped_.clear();
    }
    buildLine();
    result.hit = true;
    result.done = done();
    return result;
}

void RomajiMatcher::buildLine()
{
    line_.assign(typed_.view());
    if (done())
        return;
    for (const Spelling& s : spellingsOf(unit_)) {
        if (s.view().starts_with(unitTyped_.view())) {
            line_.append(s.view().substr(unitTyped_.size()));
            break;
        }
    }
    if (unit_ + 1 < unitCount_)
        line_.append(shown_.view().substr(units_[unit_ + 1].shownAt));
}
