#pragma once

#include <QStringList>

#include <cstdint>

// The levels and modes of a drill: what the title window offers and the
// high-score table keeps. Numbers are 1-based, as the settings file writes
// them.
constexpr int LevelCount = 3;
constexpr int ModeCount = 5;

// The level whose drills add the learner's own list.
constexpr int SentenceLevel = 3;

// The names the title window gives the levels and modes, in their order.
QStringList LevelNames();
QStringList ModeNames();

// Modes 1 to 3 count the correct keys in a time; 4 and 5 time a number of
// correct keys. Before the first drill the mode is 0, and counts as timed.
constexpr bool IsTimeTrial(int mode)
{
    return mode <= 3;
}

// A lesson of the course is a run of its own, of a number of correct keys
// that its goal sets; it is never one of the title window's modes.
constexpr int LessonMode = 6;
// What the records call a lesson's level and its run.
constexpr const char* CourseName = "コース";
constexpr const char* LessonRunName = "レッスン";

// The seconds of a time trial, 0 for a character trial.
constexpr std::int32_t TimeLimitOf(int mode)
{
    constexpr std::int32_t Limits[] = {60, 180, 300};
    return mode >= 1 && IsTimeTrial(mode) ? Limits[mode - 1] : 0;
}

// The hit count that ends a character trial, or 0 for a time trial (and
// for a lesson's run, whose length its goal sets).
constexpr std::uint16_t CharacterTarget(int mode)
{
    return IsTimeTrial(mode) || mode == LessonMode ? 0 : static_cast<std::uint16_t>((mode - 3) * 100);
}
