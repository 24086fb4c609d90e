#pragma once

#include "colour.h"
#include "guide.h"
#include "records.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <string>
#include <vector>

// What the records window and the result dialog make of the records.

// What the records window and the weak lesson look back on: the days up
// to today.
constexpr int RecentDays = 30;

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
// all, weakest first; at most `count`.
std::vector<UnitCount> Weakest(std::vector<UnitCount> units, std::size_t count, std::uint32_t minimumKeys);

// The key cell (as KeyIndexFor counts) of a character, shifted ones on
// their key: "!" on 1, "A" on a.
std::optional<std::uint8_t> KeyCellOf(char ch);

// Hits and misses per key cell.
std::array<UnitCount, KeyLabelCount> CountsPerCell(const std::vector<UnitCount>& keys);

// A miss rate's colour, from calm to alarming; each step darker than the
// one before, so that the scale reads in grey too. 20 % or more is the
// darkest.
Colour HeatColour(double missRate);
double MissRate(const UnitCount& unit);

// A change from the last drill, signed, with `decimals` places: "+5",
// "-1.2", "±0".
QString Change(double now, double before, int decimals);

// The records as a spreadsheet reads them: UTF-8 with a byte order mark
// (which a Japanese spreadsheet needs to read UTF-8), a header row, a row
// per drill in local time, CR LF.
QByteArray RecordsCsv(const std::vector<DrillSummary>& drills, const QStringList& levelNames,
                      const QStringList& modeNames);
