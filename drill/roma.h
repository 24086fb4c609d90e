#pragma once

#include "romaji.h"

// The program-wide table and the romaji written for a small tsu before a
// vowel or n, both filled once at start-up.
extern RomajiTableData RomajiTable;
extern FixedString<3> SokuonRomaji;

// Loads AppDir + "roma.txt" into RomajiTable and SokuonRomaji. Returns false,
// having requested the program's end, when the file cannot be read.
bool LoadRomajiTable();

// Converts with the program-wide table. A reading that does not convert
// shows the "エラー" box with the reading, a space and the failing position.
Conversion KanaToRomaji(std::string_view reading);
