#pragma once

#include "colour.h"
#include "keyboardlayout.h"
#include "records/recordstore.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

// What the records window and the result dialog make of the records.

// What the records window and the weak lesson look back on: the days up
// to today.
constexpr int RecentDays = 30;
// A key or kana met fewer times than this says little about the learner:
// it is in no list of weak ones.
constexpr std::uint32_t WeakMinimumKeys = 10;

// Correct keys per minute of drill; 0 when no time passed.
double KeysPerMinute(std::uint64_t hits, std::uint64_t elapsedMs);
// The share of all keys that were right, in %, and that were missed, from
// 0 to 1; both 0 when there were no keys.
double AccuracyPercent(std::uint64_t hits, std::uint64_t misses);
double MissRate(const UnitCount& unit);
// How often a key or kana went wrong, as a child reads it (no share, which
// would stand beside the accuracy's): "16回中 2回 まちがい".
QString TimesMissed(const UnitCount& unit);

// A time as the records store it: UTC, ISO 8601, to the second.
std::string RecordTime(const QDateTime& time);
// The start of the first of the recent days, local midnight, as a record's time.
std::string RecentSince(const QDate& today);

// The days in a row with practice that end today, or yesterday when today
// has none yet: the run still stands until today is over.
int DaysInARow(const std::vector<std::string>& daysNewestFirst, const QDate& today);

// Whether `a` is weaker than `b`: by miss rate, then by misses, then by
// name, so that the order is the same every time.
bool Weaker(const UnitCount& a, const UnitCount& b);

// The weakest units: those met at least `minimumKeys` times and missed at
// all, weakest first; at most `count`. `unitOf` gives an item's counts.
template <class Item, class UnitOf>
std::vector<Item> WeakestBy(std::vector<Item> items, std::size_t count, std::uint32_t minimumKeys, UnitOf unitOf)
{
    std::erase_if(items, [&](const Item& item) {
        const UnitCount& u = unitOf(item);
        return u.misses == 0 || std::uint64_t(u.hits) + u.misses < minimumKeys;
    });
    std::sort(items.begin(), items.end(), [&](const Item& a, const Item& b) { return Weaker(unitOf(a), unitOf(b)); });
    if (items.size() > count)
        items.resize(count);
    return items;
}
std::vector<UnitCount> Weakest(std::vector<UnitCount> units, std::size_t count, std::uint32_t minimumKeys);

// Hits and misses per key cell.
std::array<UnitCount, KeyLabelCount> CountsPerCell(const std::vector<UnitCount>& keys);

// A miss rate's colour, from calm to alarming: yellow through orange to
// dark red, each step darker than the one before, so that the scale reads
// in grey too. Between two steps the colours mix; the last step's rate or
// more is the darkest. The records window's legend shows these steps.
struct HeatStep {
    double rate;
    Colour colour;
};
inline constexpr HeatStep HeatScale[] = {
    {0.000, RGBColour(0xFF, 0xFF, 0xCC)}, {0.025, RGBColour(0xFE, 0xD9, 0x76)},
    {0.050, RGBColour(0xFD, 0x8D, 0x3C)}, {0.100, RGBColour(0xE3, 0x1A, 0x1C)},
    {0.200, RGBColour(0x80, 0x00, 0x26)},
};
Colour HeatColour(double missRate);

// A change, signed, with `decimals` places: "+5", "-1.2", "±0"; and the
// same from the drill before, as a child reads it: "まえより +5",
// "まえと おなじ".
QString SignedChange(double now, double before, int decimals);
QString Change(double now, double before, int decimals);

// A drill's level and mode in words: a lesson's are the course's.
QString LevelNameOf(int level);
QString ModeNameOf(int mode);

// The records as a spreadsheet reads them: a header row, a row per drill
// in local time, its level and mode by number and in words, a lesson's
// file and title (from `lessonTitles`, by file), goal and stars.
QByteArray RecordsCsv(const std::vector<DrillSummary>& drills, const std::map<std::string, QString>& lessonTitles);
