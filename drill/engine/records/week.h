#pragma once

#include "records/recordstore.h"

#include <QDate>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

// A week of practice at a glance, for a parent: weeks begin on Monday, as
// a school's week does, in the learner's local time.

// The Monday of the week that holds `day`.
QDate WeekStart(const QDate& day);

// The local day a drill was kept on; invalid for a time that does not read.
QDate LocalDayOf(const DrillSummary& drill);

struct WeekFigures {
    int days = 0;             // days with practice
    std::uint64_t ms = 0;     // practice time
    std::uint64_t keys = 0;   // correct keys
    int lessonsPassed = 0;    // lessons passed for the first time
    int starsGained = 0;      // stars beyond each lesson's best before the week
    std::optional<double> keysPerMinute; // of all the week's drills together
    std::optional<double> accuracy;      // correct keys in % of all keys
};

// The figures of the week that begins on `weekStart`, from every drill
// kept (any order): the lessons' stars are those kept with their drills,
// and a lesson's best before the week counts against what it gained.
WeekFigures FiguresOfWeek(const std::vector<DrillSummary>& drills, const QDate& weekStart);

// The week at a glance for a parent, in words a child reads too: what was
// done, speed and accuracy against the week before, the weakest keys or
// kana (named as the course names them). A line each.
QStringList WeekText(const WeekFigures& week, const WeekFigures& before, const QStringList& weakest);
