#include "course/weaklesson.h"

#include "cp932.h"
#include "drillkind.h"
#include "problems.h"
#include "records/drilltally.h"
#include "records/recordstats.h"
#include "romajitable.h"

#include <algorithm>
#include <map>
#include <memory>

ProblemSet WeakLessonSet;

std::vector<WeakUnit> WeakUnits(const std::vector<UnitDrillRow>& newestFirst, std::size_t count)
{
    struct Seen {
        WeakUnit weak;
        int recentDrills = 0;
        bool recentlyGood = true; // every one of the newest LeaveAfterDrills at LeaveMissRate or less
    };
    std::map<std::pair<bool, std::string>, Seen> units;
    for (const UnitDrillRow& row : newestFirst) {
        Seen& seen = units[{row.kana, row.name}];
        seen.weak.kana = row.kana;
        seen.weak.unit.name = row.name;
        seen.weak.unit.hits += row.hits;
        seen.weak.unit.misses += row.misses;
        if (row.hits + row.misses > 0 && seen.recentDrills < LeaveAfterDrills) {
            ++seen.recentDrills;
            seen.recentlyGood = seen.recentlyGood && MissRate({row.name, row.hits, row.misses}) <= LeaveMissRate;
        }
    }
    std::vector<WeakUnit> weak;
    for (const auto& [key, seen] : units) {
        const UnitCount& u = seen.weak.unit;
        if (std::uint64_t(u.hits) + u.misses < WeakMinimumKeys || MissRate(u) < WeakMissRate)
            continue;
        if (seen.recentDrills == LeaveAfterDrills && seen.recentlyGood)
            continue; // mastered again: three drills in a row
        weak.push_back(seen.weak);
    }
    std::sort(weak.begin(), weak.end(), [](const WeakUnit& a, const WeakUnit& b) { return Weaker(a.unit, b.unit); });
    if (weak.size() > count)
        weak.resize(count);
    return weak;
}

std::vector<WeakUnit> WeakestUnits(std::vector<WeakUnit> units, std::size_t count)
{
    return WeakestBy(std::move(units), count, WeakMinimumKeys, [](const WeakUnit& w) -> const UnitCount& { return w.unit; });
}

QString WeakUnitName(const WeakUnit& unit)
{
    const QString name = QString::fromStdString(unit.unit.name);
    if (unit.kana || name.size() != 1 || name[0].unicode() >= 0x7F || name[0].unicode() < 0x20)
        return name;
    if (name[0] == QLatin1Char(' '))
        return QStringLiteral("スペースキー");
    if (name[0] == QLatin1Char('\\')) // the yen key
        return QStringLiteral("￥キー");
    // The keyboard's full-width captions: ASCII 0x21 to 0x7E are U+FF01 to U+FF5E.
    return QString(QChar(char16_t(name[0].unicode() + 0xFEE0))) + QStringLiteral("キー");
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

std::vector<Problem> AllProblems(const Course& course)
{
    std::vector<std::string> paths;
    for (const Lesson& lesson : course.lessons)
        paths.push_back(CourseFilePath(lesson.file));
    for (std::uint8_t level = 1; level <= LevelCount; ++level)
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
            const Conversion c = ConvertReading(p.Reading, ShownTable(), SokuonRomaji);
            if (!c.ok() || c.Romaji.empty())
                continue;
            p.Romaji = c.Romaji;
            all.push_back(p);
        }
    }
    return all;
}
