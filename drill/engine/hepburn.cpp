#include "hepburn.h"

void MakeHepburnTable(const RomajiTableData& table, RomajiTableData& shown)
{
    shown = table;
    for (std::uint16_t n = 1; n <= shown.Count; ++n) {
        RomajiEntry& e = shown.entry(n);
        for (const HepburnSpelling& h : HepburnSpellings)
            if (e.Kana.view() == h.kana)
                e.Romaji.assign(h.romaji);
    }
}

void MakeOwnSpellings(const RomajiTableData& table, SpellingTable& out)
{
    out = SpellingTable {};
    for (std::uint16_t n = 0; n < table.Count; ++n) {
        out.keys[n].assign(table.Entries[n].Romaji.view());
        out.groups[n] = {n, 1};
        out.groupOfLine[n] = n;
        out.partsOfLine[n].fill(SpellingTable::None);
    }
    out.groupCount = table.Count;
    out.smallTsuGroup = SpellingTable::None;
    out.singleN = false;
}
