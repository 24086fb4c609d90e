#pragma once

#include "records/recordstore.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Drills that could not be written when they ended (another program held
// the records file) wait in memory and in a small file beside the records,
// which outlives the program, until they can be written. The file is the
// program's own: JSON in UTF-8, replaced whole at every change.
//
//     {"kidrill waiting drills": 1, "drills": [{"finished_at": "2026-12-09T18:10:38Z",
//       "level": 0, "mode": 4, "hits": 100, "misses": 2, "elapsed_ms": 30000, "score": 0,
//       "lesson": "lesson03.txt", "goal": 60, "stars": 3,
//       "keys": [["a", 50, 1], ...], "kana": [["か", 10, 0], ...]}, ...]}
constexpr const char* WaitingFileName = "records.sqlite.waiting";

// At most this many drills wait (a week of practice), in a file of at most
// MaxFileBytes; a drill beyond either waits in memory only.
constexpr std::size_t WaitingCapacity = 100;

std::string FormatWaitingDrills(const std::vector<DrillRecord>& drills);

// The drills of a waiting file, oldest first; none when the bytes are no
// such file, or hold a drill that no drill of this program could be.
std::optional<std::vector<DrillRecord>> ParseWaitingDrills(std::string_view bytes);
