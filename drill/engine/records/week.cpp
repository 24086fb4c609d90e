#include "records/week.h"

#include "records/recordstats.h"

#include <QDateTime>

#include <algorithm>
#include <map>
#include <set>
#include <string>

QDate WeekStart(const QDate& day)
{
    return day.addDays(1 - day.dayOfWeek());
}

QDate LocalDayOf(const DrillSummary& drill)
{
    return QDateTime::fromString(QString::fromStdString(drill.finishedAt), Qt::ISODate).toLocalTime().date();
}

WeekFigures FiguresOfWeek(const std::vector<DrillSummary>& drills, const QDate& weekStart)
{
    const QDate weekEnd = weekStart.addDays(7);
    WeekFigures week;
    std::set<QDate> days;
    std::uint64_t misses = 0;
    // Each lesson's best stars before the week, and by its end.
    std::map<std::string, int> before, after;
    for (const DrillSummary& drill : drills) {
        const QDate day = LocalDayOf(drill);
        if (!day.isValid() || day >= weekEnd)
            continue;
        const int stars = drill.stars.value_or(0);
        if (!drill.lesson.empty()) {
            after[drill.lesson] = std::max(after[drill.lesson], stars);
            if (day < weekStart)
                before[drill.lesson] = std::max(before[drill.lesson], stars);
        }
        if (day < weekStart)
            continue;
        days.insert(day);
        week.ms += drill.elapsedMs;
        week.keys += drill.hits;
        misses += drill.misses;
    }
    for (const auto& [lesson, best] : after) {
        const int was = before.contains(lesson) ? before[lesson] : 0;
        week.starsGained += best - was;
        week.lessonsPassed += was == 0 && best > 0 ? 1 : 0;
    }
    week.days = int(days.size());
    if (week.ms > 0)
        week.keysPerMinute = KeysPerMinute(week.keys, week.ms);
    if (week.keys + misses > 0)
        week.accuracy = AccuracyPercent(week.keys, misses);
    return week;
}
