#pragma once

#include "drillkind.h"

#include <cstdint>
#include <string>

// The drill clock's seven-character text: seconds right-aligned in three
// columns, a point and three digits of milliseconds (5 ms is "  0.005").
// Values past 999999 ms are not expected; callers cap them.
std::string ClockText(std::uint32_t milliseconds);

struct ClockReading {
    std::uint32_t shown; // milliseconds to display
    bool timeUp;         // a time trial's limit has passed
};

// What one tick of the drill clock shows: the time left in a time trial,
// the time taken, up to 999.999, in a character trial. Differences of the
// clock are taken modulo 2^32.
ClockReading ReadClock(std::uint8_t mode, std::int32_t timeLimit, std::uint32_t startTime, std::uint32_t now);

// The count beside the clock: "37 / 100" towards a target of correct keys,
// the hits alone without one (a time trial).
std::string ProgressText(std::uint16_t hits, std::uint16_t target);
