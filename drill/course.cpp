#include "course.h"

#include "cp932.h"
#include "platform.h"
#include "problems.h"
#include "recordstats.h"
#include "roma.h"
#include "tally.h"
#include "textfile.h"

#include <algorithm>
#include <map>
#include <memory>

std::optional<LessonChoice> ChosenLesson;
ProblemSet WeakLessonSet;

namespace {

constexpr int LargestGoal = 999;

// A lesson file is named, never reached by a path: it stands beside the
// program like every data file.
bool IsBareTextFileName(std::string_view name)
{
    if (name.size() < 5 || name.size() > 64 || !name.ends_with(".txt") || name.front() == '.')
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-'
            || c == '.';
    });
}

std::optional<int> Goal(std::string_view text)
{
    if (text.empty() || text.size() > 3)
        return std::nullopt;
    int goal = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        goal = goal * 10 + (c - '0');
    }
    return goal >= 1 && goal <= LargestGoal ? std::optional(goal) : std::nullopt;
}

std::string_view Trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

} // namespace

Course ParseCourse(std::string_view bytes, const QString& fileName)
{
    Course course;
    LineReader lines(bytes);
    int number = 0;
    while (!lines.atEnd()) {
        const std::string_view line = lines.readLine();
        ++number;
        if (Trimmed(line).empty() || line.front() == ';')
            continue;
        const auto bad = [&](const QString& why) {
            course.problems << QStringLiteral("%1 %2 行目: %3").arg(fileName).arg(number).arg(why);
        };
        const auto first = line.find(',');
        const auto second = first == std::string_view::npos ? first : line.find(',', first + 1);
        if (second == std::string_view::npos || line.find(',', second + 1) != std::string_view::npos) {
            bad(QStringLiteral("「ファイル名,題名,目標」の形ではありません"));
            continue;
        }
        const std::string_view file = Trimmed(line.substr(0, first));
        const QString title = DecodeCp932(Trimmed(line.substr(first + 1, second - first - 1)));
        const std::optional<int> goal = Goal(Trimmed(line.substr(second + 1)));
        if (!IsBareTextFileName(file))
            bad(QStringLiteral("ファイル名「%1」は、英数字で .txt で終わる名前にします").arg(DecodeCp932(file)));
        else if (title.isEmpty())
            bad(QStringLiteral("題名がありません"));
        else if (!goal)
            bad(QStringLiteral("目標は 1 から %1 までの数（1分あたりの打鍵数）にします").arg(LargestGoal));
        else if (course.lessons.size() >= Course::Capacity)
            bad(QStringLiteral("レッスンは %1 までです").arg(Course::Capacity));
        else
            course.lessons.push_back({std::string(file), title, *goal});
    }
    return course;
}

QString StarsText(int stars)
{
    return QString(stars, QChar(u'★')) + QString(3 - stars, QChar(u'☆'));
}

int StarsFor(const DrillSummary& drill, int goal)
{
    const double accuracy = AccuracyPercent(drill.hits, drill.misses);
    const double speed = KeysPerMinute(drill.hits, drill.elapsedMs);
    if (accuracy < PassAccuracy || speed < goal)
        return 0;
    if (accuracy >= 99 && speed >= goal * 1.5)
        return 3;
    if (accuracy >= 97 && speed >= goal * 1.2)
        return 2;
    return 1;
}

std::vector<LessonState> LessonStates(const Course& course, const std::vector<DrillSummary>& lessonDrills,
                                      bool allOpen)
{
    std::vector<LessonState> states(course.lessons.size());
    for (const DrillSummary& drill : lessonDrills)
        for (std::size_t i = 0; i < course.lessons.size(); ++i)
            if (course.lessons[i].file == drill.lesson)
                states[i].stars = std::max(states[i].stars, StarsFor(drill, course.lessons[i].goal));
    for (std::size_t i = 0; i < states.size(); ++i)
        states[i].open = allOpen || i == 0 || states[i - 1].stars > 0;
    return states;
}

std::vector<WeakUnit> WeakUnits(const std::vector<UnitDrillRow>& newestFirst, std::size_t count)
{
    struct Seen {
        WeakUnit weak;
        int recentDrills = 0;
        bool recentlyGood = true; // every one of the newest three at LeaveMissRate or less
    };
    std::map<std::pair<bool, std::string>, Seen> units;
    for (const UnitDrillRow& row : newestFirst) {
        Seen& seen = units[{row.kana, row.name}];
        seen.weak.kana = row.kana;
        seen.weak.unit.name = row.name;
        seen.weak.unit.hits += row.hits;
        seen.weak.unit.misses += row.misses;
        if (row.hits + row.misses > 0 && seen.recentDrills < 3) {
            ++seen.recentDrills;
            seen.recentlyGood = seen.recentlyGood && MissRate({row.name, row.hits, row.misses}) <= LeaveMissRate;
        }
    }
    std::vector<WeakUnit> weak;
    for (const auto& [key, seen] : units) {
        const UnitCount& u = seen.weak.unit;
        if (std::uint64_t(u.hits) + u.misses < WeakMinimumKeys || MissRate(u) < WeakMissRate)
            continue;
        if (seen.recentDrills == 3 && seen.recentlyGood)
            continue; // mastered again: three drills in a row
        weak.push_back(seen.weak);
    }
    std::sort(weak.begin(), weak.end(), [](const WeakUnit& a, const WeakUnit& b) { return Weaker(a.unit, b.unit); });
    if (weak.size() > count)
        weak.resize(count);
    return weak;
}

int WeakUnitsIn(const Problem& problem, const std::vector<WeakUnit>& weak)
{
    // The problem's kana, each named once, as the records name them.
    KeyKana keys;
    MapKeysToKana(problem.Reading, RomajiTable, SokuonRomaji, keys);
    std::vector<std::uint16_t> met(keys.slot.begin(), keys.slot.begin() + keys.count);
    std::sort(met.begin(), met.end());
    met.erase(std::unique(met.begin(), met.end()), met.end());
    std::vector<std::string> kana;
    for (const std::uint16_t slot : met)
        kana.push_back(Cp932ToUtf8(KanaOfSlot(slot, RomajiTable)));
    return int(std::count_if(weak.begin(), weak.end(), [&](const WeakUnit& w) {
        if (w.kana)
            return std::find(kana.begin(), kana.end(), w.unit.name) != kana.end();
        return w.unit.name.size() == 1 && problem.Romaji.view().find(w.unit.name.front()) != std::string_view::npos;
    }));
}

void MakeWeakLesson(const std::vector<Problem>& pool, const std::vector<WeakUnit>& weak,
                    const std::array<bool, 256>& typed, ProblemSet& lesson, RandomSource& random)
{
    struct Candidate {
        std::size_t at;
        int held;
        std::uint32_t tie;
    };
    std::vector<Candidate> candidates;
    for (std::size_t i = 0; i < pool.size(); ++i) {
        const std::string_view keys = pool[i].Romaji.view();
        if (keys.empty()
            || !std::all_of(keys.begin(), keys.end(), [&](char c) { return typed[static_cast<unsigned char>(c)]; }))
            continue;
        if (const int held = WeakUnitsIn(pool[i], weak); held > 0)
            candidates.push_back({i, held, random.below(1u << 30)});
    }
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        return a.held != b.held ? a.held > b.held : a.tie < b.tie;
    });
    lesson.Count = 0;
    for (const Candidate& c : candidates) {
        if (lesson.Count == ProblemSet::Capacity)
            break;
        // The same item from a lesson and a level is one item.
        const bool twice = std::any_of(lesson.Problems.begin(), lesson.Problems.begin() + lesson.Count,
                                       [&](const Problem& p) { return p.Romaji.view() == pool[c.at].Romaji.view(); });
        if (!twice)
            lesson.problem(++lesson.Count) = pool[c.at];
    }
}

std::string CourseFilePath(const std::string& name)
{
    const std::string own = UserDir + name;
    return UserDir != AppDir && FileExists(own) ? own : AppDir + name;
}

Course LoadCourse()
{
    const std::string path = CourseFilePath("course.txt");
    const FileBytes file = ReadFileBytes(path);
    if (file.status != FileStatus::Ok) {
        Course none;
        none.problems << QStringLiteral("%1 を読み込めません").arg(QString::fromStdString(path));
        return none;
    }
    return ParseCourse(file.bytes, QStringLiteral("course.txt"));
}

std::vector<Problem> AllProblems(const Course& course)
{
    std::vector<std::string> paths;
    for (const Lesson& lesson : course.lessons)
        paths.push_back(CourseFilePath(lesson.file));
    for (std::uint8_t level = 1; level <= 3; ++level)
        paths.push_back(LevelFilePath(level));
    std::vector<Problem> all;
    auto set = std::make_unique<ProblemSet>();
    for (const std::string& path : paths) {
        set->Count = 0;
        if (LoadWordList(path, *set) != FileStatus::Ok)
            continue;
        for (std::uint16_t n = 1; n <= set->Count; ++n) {
            Problem p = set->problem(n);
            // Quietly: a reading the drill cannot type is no choice here.
            const Conversion c = ConvertReading(p.Reading, RomajiTable, SokuonRomaji);
            if (!c.ok() || c.Romaji.empty())
                continue;
            p.Romaji = c.Romaji;
            all.push_back(p);
        }
    }
    return all;
}
