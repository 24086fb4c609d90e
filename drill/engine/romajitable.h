#pragma once

#include "romajiconversion.h"
#include "spellingtable.h"

// The program-wide table and the romaji written for a small tsu before a
// vowel or n, both filled once at start-up.
extern RomajiTableData RomajiTable;
extern FixedString<3> SokuonRomaji;
// Every spelling the table gives each kana, for the flexible option.
extern SpellingTable RomajiSpellings;
// The table's lines in Hepburn (MakeHepburnTable), and each line's own
// spelling alone (MakeOwnSpellings), made with it.
extern RomajiTableData HepburnTable;
extern SpellingTable OwnSpellings;

// Loads AppDir + "roma.txt" into RomajiTable, SokuonRomaji, RomajiSpellings
// and the two made from it. Returns false, having requested the program's
// end, when the file cannot be read.
bool LoadRomajiTable();

// The table whose spellings the drill shows: HepburnTable with Hepburn on.
const RomajiTableData& ShownTable();
// Whether the drill judges keys by spellings (RomajiMatcher) rather than
// byte by byte against the romaji shown: with flexible romaji, and with
// Hepburn, where the spelling the table gives is taken beside the one shown.
bool JudgesSpellings();
// The spellings the matcher takes besides the one shown.
const SpellingTable& JudgedSpellings();

// The romaji shown for a reading in either style, quietly: no box for a
// reading that does not convert.
Conversion ShownRomaji(std::string_view reading, bool hepburn);

// Converts with the shown table. A reading that does not convert shows the
// "エラー" box with the reading, a space and the failing position.
Conversion KanaToRomaji(std::string_view reading);
