#include "problems.h"

#include "drillkind.h"
#include "platform.h"
#include "romajitable.h"

#include <algorithm>
#include <utility>

ProblemSet Problems;

namespace {

enum class List { Level, User, Lesson };

// Appends one word list; false when the preparation must stop. A missing
// level list ends the program, a missing user list is no list; a lesson's
// list that is missing, or any list that is there but cannot be read, is
// named, and the player goes back to the title window with nothing lost.
bool AppendList(const std::string& path, List list, ProblemSet& set, Preparation& outcome)
{
    const FileStatus status = LoadWordList(path, set);
    if (status == FileStatus::Ok)
        return true;
    if (status == FileStatus::CannotOpen && !FileExists(path) && list != List::Lesson) {
        if (list == List::User)
            return true;
        RequestEnd();
        outcome = Preparation::Terminated;
        return false;
    }
    CurrentPlatform().showError(path + " を読み込めません", "エラー");
    outcome = Preparation::Empty;
    return false;
}

} // namespace

std::string LevelFilePath(std::uint8_t level)
{
    return AppDir + "word" + std::to_string(level) + ".txt";
}

std::string UserListPath()
{
    return UserDir + "wordu.txt";
}

void ShuffleProblems(ProblemSet& set, RandomSource& random)
{
    for (std::uint16_t k = 1; k <= set.Count; ++k) {
        const auto j = static_cast<std::uint16_t>(random.below(set.Count) + 1);
        std::swap(set.problem(k), set.problem(j));
    }
}

void ConvertProblems(ProblemSet& set, Untypeable untypeable)
{
    std::uint16_t kept = 0;
    for (std::uint16_t n = 1; n <= set.Count; ++n) {
        Problem& p = set.problem(n);
        p.Romaji.clear();
        const Conversion conversion = untypeable == Untypeable::Shown
            ? KanaToRomaji(p.Reading)
            : ConvertReading(p.Reading, ShownTable(), SokuonRomaji);
        // A problem with nothing to type could never be finished.
        if (!conversion.ok() || conversion.Romaji.empty())
            continue;
        p.Romaji = conversion.Romaji;
        ++kept;
        if (kept != n)
            set.problem(kept) = p;
    }
    set.Count = kept;
}

namespace {

Preparation Finish(ProblemSet& set, DrillCounters& counters, RandomSource& random,
                   Untypeable untypeable = Untypeable::Shown)
{
    ConvertProblems(set, untypeable);
    if (set.Count == 0)
        return Preparation::Empty;
    ShuffleProblems(set, random);
    counters.TotalChars = 0;
    counters.Misses = 0;
    counters.Hits = 0;
    return Preparation::Ready;
}

} // namespace

Preparation PrepareProblemSet(std::uint8_t level, ProblemSet& set, DrillCounters& counters, RandomSource& random)
{
    set.Count = 0;
    Preparation outcome = Preparation::Ready;
    if (!AppendList(LevelFilePath(level), List::Level, set, outcome))
        return outcome;
    if (level == SentenceLevel && !AppendList(UserListPath(), List::User, set, outcome))
        return outcome;
    return Finish(set, counters, random);
}

Preparation PrepareLessonSet(const std::string& path, ProblemSet& set, DrillCounters& counters, RandomSource& random)
{
    set.Count = 0;
    Preparation outcome = Preparation::Ready;
    if (!AppendList(path, List::Lesson, set, outcome))
        return outcome;
    return Finish(set, counters, random, Untypeable::Quiet);
}

Preparation PrepareGivenSet(const ProblemSet& given, ProblemSet& set, DrillCounters& counters, RandomSource& random)
{
    set.Count = given.Count;
    std::copy(given.Problems.begin(), given.Problems.begin() + given.Count, set.Problems.begin());
    return Finish(set, counters, random, Untypeable::Quiet);
}
