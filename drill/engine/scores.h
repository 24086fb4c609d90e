#pragma once

#include "counters.h"
#include "drillkind.h"

#include <array>
#include <cstdint>
#include <string>

// The best score of every level (rows) and mode (columns).
struct HighScores {
    std::array<std::array<std::int32_t, ModeCount>, LevelCount> best {};

    // 1-based level and mode.
    std::int32_t& at(int level, int mode) { return best.at(level - 1).at(mode - 1); }
    std::int32_t at(int level, int mode) const { return best.at(level - 1).at(mode - 1); }
};

extern HighScores HighScoreTable;

// Stores `score` as the best of its level and mode when it is strictly
// greater than the best so far; returns whether it was.
bool RecordScore(HighScores& table, int level, int mode, std::int32_t score);

struct DrillResult {
    std::string timeText; // as the result dialog shows it
    std::int32_t score = 0;
    std::uint32_t elapsedMs = 0; // what timeText says
};

// The time text and total score of a finished drill. A character trial is
// timed by the clock text last shown in the drill window.
DrillResult ScoreDrill(const DrillCounters& counters, const std::string& clockText);

// The most-missed keys: every code from 1 to 200 missed more often than a
// fifth of all misses, in ascending order, each followed by a blank, the
// space written "スペース"; the text of CaptionId::NoneMissed (CP932) when
// none is.
std::string MostMissedKeys(const DrillCounters& counters);
