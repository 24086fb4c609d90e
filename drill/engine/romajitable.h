#pragma once

#include "romajiconversion.h"
#include "spellingtable.h"

// The program-wide table and the romaji written for a small tsu before a
// vowel or n, both filled once at start-up.
extern RomajiTableData RomajiTable;
extern FixedString<3> SokuonRomaji;
// Every spelling the table gives each kana, for the flexible option.
extern SpellingTable RomajiSpellings;

// Loads AppDir + "roma.txt" into RomajiTable, SokuonRomaji and RomajiSpellings. Returns false,
// having requested the program's end, when the file cannot be read.
bool LoadRomajiTable();

// Converts with the program-wide table. A reading that does not convert
// shows the "エラー" box with the reading, a space and the failing position.
Conversion KanaToRomaji(std::string_view reading);
