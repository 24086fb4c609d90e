#pragma once

#include "counters.h"
#include "random.h"
#include "wordlist.h"

#include <cstdint>
#include <string>

// The program-wide set of the current drill.
extern ProblemSet Problems;

enum class Preparation {
    Ready,      // at least one problem, shuffled, counters cleared
    Terminated, // a word list is missing: the program is ending
    Empty,      // no problem, or a list that could not be read: the drill cannot start
};

std::string LevelFilePath(std::uint8_t level);
std::string UserListPath();

// Swaps every position k with a partner drawn from the whole set (which may
// be k itself), in order from the first.
void ShuffleProblems(ProblemSet& set, RandomSource& random);

// Keeps, in load order, the problems whose reading converts to a romaji
// text to type. A reading of a level's list that does not convert shows
// its message here; a lesson's was named when the course window opened.
enum class Untypeable { Shown, Quiet };
void ConvertProblems(ProblemSet& set, Untypeable untypeable = Untypeable::Shown);

// The data side of a drill's preparation: reads the level's word list (and
// at level 3 the user's list when it exists), converts, shuffles and clears
// the counters. Showing problem 1 is the caller's.
Preparation PrepareProblemSet(std::uint8_t level, ProblemSet& set, DrillCounters& counters, RandomSource& random);
// The same for a lesson's word list, which must be there, and for a set
// made beforehand (the weak lesson).
Preparation PrepareLessonSet(const std::string& path, ProblemSet& set, DrillCounters& counters, RandomSource& random);
Preparation PrepareGivenSet(const ProblemSet& given, ProblemSet& set, DrillCounters& counters, RandomSource& random);
