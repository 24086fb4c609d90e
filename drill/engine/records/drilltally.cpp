#include "records/drilltally.h"

#include "cp932.h"

#include <QString>

#include <algorithm>

std::string_view KanaOfSlot(std::uint16_t slot, const RomajiTableData& table)
{
    return slot == SmallTsuSlot ? SmallTsu : table.Entries[slot].Kana.view();
}

void MapKeysToKana(std::string_view reading, const RomajiTableData& table, std::string_view sokuon, KeyKana& out)
{
    out.count = 0;
    const auto put = [&out](std::uint16_t slot, std::size_t keys) {
        for (; keys > 0 && out.count < out.slot.size(); --keys)
            out.slot[out.count++] = slot;
    };
    Conversion conversion;
    WalkConversion(reading, table, conversion, [&](const ConversionStep& step) {
        const std::string_view syllable = step.entry->Romaji;
        const auto line = static_cast<std::uint16_t>(step.entry - table.Entries.data());
        if (!step.smallTsu) {
            put(line, syllable.size());
            return;
        }
        const std::string_view tsu = SmallTsuKeys(syllable, sokuon);
        const std::size_t share = SmallTsuShare(tsu, syllable);
        put(SmallTsuSlot, share);
        put(line, tsu.size() + syllable.size() - share);
    });
}

void DrillTally::count(char key, std::uint16_t kana, bool hit)
{
    const auto byte = static_cast<unsigned char>(key);
    ++(hit ? keyHits : keyMisses)[byte];
    if (kana < KanaSlotCount)
        ++(hit ? kanaHits : kanaMisses)[kana];
}

bool IsKanaUnit(std::string_view cp932)
{
    const QString text = DecodeCp932(cp932);
    if (text.isEmpty())
        return false;
    const char16_t first = text.front().unicode();
    // Hiragana and katakana, and the long-vowel mark; not the middle dot.
    return (first >= u'\u3041' && first <= u'\u30FA') || first == u'\u30FC';
}

DrillRecord MakeDrillRecord(const DrillSummary& drill, const DrillTally& tally, const RomajiTableData& table)
{
    DrillRecord record {drill, {}, {}};
    for (std::size_t b = 0; b < 256; ++b)
        if (tally.keyHits[b] || tally.keyMisses[b])
            record.keys.push_back({Cp932ToUtf8(std::string(1, char(b))), tally.keyHits[b], tally.keyMisses[b]});
    for (std::uint16_t slot = 0; slot < KanaSlotCount; ++slot) {
        if (!tally.kanaHits[slot] && !tally.kanaMisses[slot])
            continue;
        const std::string_view kana = KanaOfSlot(slot, table);
        if (!IsKanaUnit(kana))
            continue;
        const std::string name = Cp932ToUtf8(kana);
        // Two lines of one kana (a hand-made table) are one kana.
        auto same = std::find_if(record.kana.begin(), record.kana.end(), [&](const UnitCount& c) { return c.name == name; });
        if (same == record.kana.end())
            record.kana.push_back({name, tally.kanaHits[slot], tally.kanaMisses[slot]});
        else {
            same->hits += tally.kanaHits[slot];
            same->misses += tally.kanaMisses[slot];
        }
    }
    return record;
}
