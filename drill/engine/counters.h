#pragma once

#include "drillkind.h"

#include <array>
#include <cstdint>

// The one record of the current drill.
struct DrillCounters {
    std::uint16_t Hits = 0;
    std::uint16_t Misses = 0;
    std::uint16_t TotalChars = 0; // romaji lengths of every problem shown so far
    std::uint8_t Mode = 0;        // 1 to 5, or LessonMode
    std::uint8_t Level = 0;       // 1 to 3
    std::int32_t TimeLimit = 0;   // seconds, time trials only
    std::uint32_t StartTime = 0;  // clock at the drill's first key
    // Misses charged to each expected character, by its byte. Wide enough
    // that the most-missed key of any drill keeps its count.
    std::array<std::uint16_t, 256> MissByChar {};
    std::uint8_t BooCountdown = 0;
    std::uint16_t RunLength = 0; // the correct keys of a lesson's run
};

extern DrillCounters Counters;

// The correct keys that end the drill: a character trial's or a lesson
// run's; 0 for a time trial, which ends by the clock.
constexpr std::uint16_t TargetHits(const DrillCounters& counters)
{
    return counters.Mode == LessonMode ? counters.RunLength : CharacterTarget(counters.Mode);
}
