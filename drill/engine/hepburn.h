#pragma once

#include "romajiconversion.h"
#include "spellingtable.h"

#include <array>
#include <string_view>

// The spellings of the style schools now teach (Hepburn) that an input
// method takes for the same kana, kana in CP932. ぢ and づ keep di and du:
// an input method turns ji and zu into じ and ず.
struct HepburnSpelling {
    std::string_view kana;
    std::string_view romaji;
};
inline constexpr std::array<HepburnSpelling, 17> HepburnSpellings {{
    {"\x82\xb5", "shi"},         {"\x82\xbf", "chi"},         {"\x82\xc2", "tsu"},         {"\x82\xd3", "fu"},
    {"\x82\xb6", "ji"},          {"\x82\xb5\x82\xe1", "sha"}, {"\x82\xb5\x82\xe3", "shu"}, {"\x82\xb5\x82\xe5", "sho"},
    {"\x82\xb5\x82\xa5", "she"}, {"\x82\xbf\x82\xe1", "cha"}, {"\x82\xbf\x82\xe3", "chu"}, {"\x82\xbf\x82\xe5", "cho"},
    {"\x82\xbf\x82\xa5", "che"}, {"\x82\xb6\x82\xe1", "ja"},  {"\x82\xb6\x82\xe3", "ju"},  {"\x82\xb6\x82\xe5", "jo"},
    {"\x82\xb6\x82\xa5", "je"},
}};

// The table shown with Hepburn on: `table`'s lines in its order, the kana
// of HepburnSpellings spelt in Hepburn, every other line as it is. The
// conversion then doubles the first letter after a small tsu (cchi).
void MakeHepburnTable(const RomajiTableData& table, RomajiTableData& shown);

// The spellings judged when a line's own spelling and the one shown both
// count, and nothing else (flexible romaji off): each line its own group of
// its own spelling, so the matcher offers the shown one first and this
// beside it; a small tsu only doubles or writes the table's sokuon, and ん
// is never a single n.
void MakeOwnSpellings(const RomajiTableData& table, SpellingTable& out);
