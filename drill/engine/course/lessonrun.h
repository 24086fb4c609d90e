#pragma once

#include "counters.h"
#include "course/course.h"
#include "problems.h"
#include "random.h"
#include "wordlist.h"

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A lesson of the course is played as a run of its own: about three
// minutes at its goal, its items drawn so that every key the lesson brings
// in is typed often enough in that run, whatever the run's length.

// How many times a run types each key its lesson brings in.
constexpr int NewKeyTimes = 20;
constexpr int LessonRunMinutes = 3;
constexpr std::uint16_t ShortestLessonRun = 100;

// The goal a parent or teacher's GoalPercent makes of a lesson's goal:
// rounded, never below 1 key a minute.
int ScaledGoal(int goal, int percent);

// The course with every lesson's goal scaled by `percent`.
void ScaleGoals(Course& course, int percent);

// The correct keys of a lesson's run at that (scaled) goal: LessonRunMinutes
// at the goal, at least ShortestLessonRun, at most what a drill counts.
std::uint16_t LessonRunLength(int goal);

// How long the run takes at its goal, as a child reads it: "やく 3分".
QString AboutMinutes(std::uint16_t runLength, int goal);

// The keys each lesson brings in, given the keys each lesson's items type
// (in the shown spelling): those no earlier lesson typed, in key order.
std::vector<std::string> KeysBroughtIn(const std::vector<std::string>& keysOfLessons);

// The keys the items of a list type (their romaji), each once, in key order.
std::string KeysOfList(const ProblemSet& items);

// Fills `run` with items of `items` (each with its romaji) in the order the
// run plays them: while a key of `newKeys` has been typed fewer than
// NewKeyTimes times, an item holding the one typed least so far, drawn at
// random among those that hold it at least half as densely as the densest,
// never the one just played; then the items in a shuffled order, again
// and again. Only the first `length` keys count.
void DrawLessonRun(const ProblemSet& items, std::string_view newKeys, std::uint16_t length, RandomSource& random,
                   ProblemSet& run);

// The preparation of a lesson's run: its list read and converted (a reading
// nobody can type was named when the course window opened, and is left out
// quietly), its run drawn into `set`, the counters cleared.
Preparation PrepareLessonRun(const std::string& path, std::string_view newKeys, std::uint16_t length, ProblemSet& set,
                             DrillCounters& counters, RandomSource& random);
