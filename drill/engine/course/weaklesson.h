#pragma once

#include "course/course.h"
#include "random.h"
#include "records/recordstore.h"
#include "wordlist.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The weak lesson of the course, made from the learner's records: items
// that hold the keys and kana the learner misses most.

// The weak units: those missed in WeakMissRate or more of the keys that
// typed them in the last RecentDays days (met at least WeakMinimumKeys times),
// the weakest first, but for those of the last three drills that met them
// each at LeaveMissRate or less. At most `count`.
constexpr double WeakMissRate = 0.10;
constexpr double LeaveMissRate = 0.05;
constexpr int LeaveAfterDrills = 3;
struct WeakUnit {
    UnitCount unit;
    bool kana = false;
};
std::vector<WeakUnit> WeakUnits(const std::vector<UnitDrillRow>& newestFirst, std::size_t count);

// The weakest of keys and kana together, as the records' weak lists choose
// them (met at least WeakMinimumKeys times, missed at all).
std::vector<WeakUnit> WeakestUnits(std::vector<WeakUnit> units, std::size_t count);

// A weak unit as the course window names it: a kana as it is, a key by
// its caption on the keyboard ("ｋキー", "スペースキー").
QString WeakUnitName(const WeakUnit& unit);

// How many of the weak units a problem holds: its keys and the kana of its
// reading.
int WeakUnitsIn(const Problem& problem, const std::vector<WeakUnit>& weak);

// The weak lesson: from `pool`, the problems that hold weak units, those
// with more of them first, shuffled among equals, at most the set's
// capacity; problems that use a key the learner has not typed (`typed`,
// keys by byte) are left out.
void MakeWeakLesson(const std::vector<Problem>& pool, const std::vector<WeakUnit>& weak,
                    const std::array<bool, 256>& typed, ProblemSet& lesson, RandomSource& random);

// The weak lesson's problems, made when it is chosen.
extern ProblemSet WeakLessonSet;

// Every problem of the course's lessons and of the three levels, converted,
// for the weak lesson to choose from.
std::vector<Problem> AllProblems(const Course& course);
