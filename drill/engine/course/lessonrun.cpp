#include "course/lessonrun.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numeric>
#include <set>

namespace {
// The lesson's items, from which its run is drawn.
ProblemSet LessonItems;
} // namespace

int ScaledGoal(int goal, int percent)
{
    return std::max(1, int(std::lround(goal * percent / 100.0)));
}

void ScaleGoals(Course& course, int percent)
{
    for (Lesson& lesson : course.lessons)
        lesson.goal = ScaledGoal(lesson.goal, percent);
}

std::uint16_t LessonRunLength(int goal)
{
    const int keys = std::max<int>(ShortestLessonRun, goal * LessonRunMinutes);
    return static_cast<std::uint16_t>(std::min<int>(keys, std::numeric_limits<std::uint16_t>::max()));
}

QString AboutMinutes(std::uint16_t runLength, int goal)
{
    const int minutes = std::max(1, int(std::lround(double(runLength) / std::max(1, goal))));
    return QStringLiteral("やく %1分").arg(minutes);
}

std::vector<std::string> KeysBroughtIn(const std::vector<std::string>& keysOfLessons)
{
    std::set<char> known;
    std::vector<std::string> brought;
    for (const std::string& keys : keysOfLessons) {
        std::string now;
        for (const char key : keys)
            if (known.insert(key).second)
                now += key;
        std::sort(now.begin(), now.end());
        brought.push_back(now);
    }
    return brought;
}

std::string KeysOfList(const ProblemSet& items)
{
    std::set<char> keys;
    for (std::uint16_t n = 1; n <= items.Count; ++n)
        keys.insert(items.problem(n).Romaji.view().begin(), items.problem(n).Romaji.view().end());
    return {keys.begin(), keys.end()};
}

void DrawLessonRun(const ProblemSet& items, std::string_view newKeys, std::uint16_t length, RandomSource& random,
                   ProblemSet& run)
{
    run.Count = 0;
    if (items.Count == 0)
        return;
    std::array<int, 256> typed {};
    // A key no item types can never be drilled: it asks for nothing.
    std::string wanted;
    for (const char key : newKeys)
        for (std::uint16_t n = 1; n <= items.Count; ++n)
            if (items.problem(n).Romaji.view().find(key) != std::string_view::npos) {
                wanted += key;
                break;
            }
    std::vector<std::uint16_t> deck;
    std::uint16_t last = 0;
    std::size_t keys = 0;
    const auto play = [&](std::uint16_t n) {
        run.problem(++run.Count) = items.problem(n);
        const std::string_view romaji = items.problem(n).Romaji.view();
        for (const char key : romaji.substr(0, length - std::min<std::size_t>(keys, length)))
            ++typed[static_cast<unsigned char>(key)];
        keys += romaji.size();
        last = n;
    };
    while (keys < length && run.Count < ProblemSet::Capacity) {
        // The new key typed least so far, while it is under its times.
        const auto least = std::min_element(wanted.begin(), wanted.end(), [&](char a, char b) {
            return typed[static_cast<unsigned char>(a)] < typed[static_cast<unsigned char>(b)];
        });
        if (least != wanted.end() && typed[static_cast<unsigned char>(*least)] < NewKeyTimes) {
            // Among the items that hold it, those that hold it densest: at
            // least half as dense as the densest, so that a run of any
            // length reaches the times, and still a choice to vary it.
            const auto density = [&](std::uint16_t n) {
                const std::string_view romaji = items.problem(n).Romaji.view();
                return double(std::count(romaji.begin(), romaji.end(), *least)) / double(romaji.size());
            };
            double densest = 0;
            for (std::uint16_t n = 1; n <= items.Count; ++n)
                if (n != last)
                    densest = std::max(densest, density(n));
            std::vector<std::uint16_t> holding;
            for (std::uint16_t n = 1; n <= items.Count; ++n)
                if (n != last && density(n) > 0 && density(n) >= densest / 2)
                    holding.push_back(n);
            play(holding.empty() ? last : holding[random.below(std::uint32_t(holding.size()))]);
            continue;
        }
        if (deck.empty()) {
            deck.resize(items.Count);
            std::iota(deck.begin(), deck.end(), std::uint16_t(1));
            for (std::size_t k = deck.size(); k > 1; --k)
                std::swap(deck[k - 1], deck[random.below(std::uint32_t(k))]);
            // No item twice in a row where there is another.
            if (deck.size() > 1 && deck.back() == last)
                std::swap(deck.front(), deck.back());
        }
        play(deck.back());
        deck.pop_back();
    }
}

Preparation PrepareLessonRun(const std::string& path, std::string_view newKeys, std::uint16_t length, ProblemSet& set,
                             DrillCounters& counters, RandomSource& random)
{
    const Preparation prepared = PrepareLessonSet(path, LessonItems, counters, random);
    if (prepared == Preparation::Ready)
        DrawLessonRun(LessonItems, newKeys, length, random, set);
    return prepared;
}
