#include "records/week.h"

#include "captions.h"
#include "records/recordstats.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>
#include <cmath>
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

QStringList WeekText(const WeekFigures& week, const WeekFigures& before, const QStringList& weakest)
{
    const QLocale japanese(QLocale::Japanese);
    QString done = QStringLiteral("れんしゅう %1日・%2分・うった 文字 %3")
                       .arg(week.days)
                       .arg((week.ms + 30000) / 60000)
                       .arg(japanese.toString(qulonglong(week.keys)));
    if (week.lessonsPassed > 0 || week.starsGained > 0)
        done += QStringLiteral("・ごうかく %1こ・ほし +%2").arg(week.lessonsPassed).arg(week.starsGained);
    // Whole numbers, as the results show them.
    const auto figure = [](std::optional<double> value, const QString& unit) {
        return value ? QString::number(std::floor(*value)) + unit : QStringLiteral("－");
    };
    const QString pace = QStringLiteral("%1 %2（せんしゅう %3）　%4 %5（せんしゅう %6）")
                             .arg(QString::fromUtf8(KeysPerMinuteCaption), figure(week.keysPerMinute, QString()),
                                  figure(before.keysPerMinute, QString()), QString::fromUtf8(AccuracyCaption),
                                  figure(week.accuracy, QStringLiteral("%")), figure(before.accuracy, QStringLiteral("%")));
    const QString weak = weakest.isEmpty() ? QStringLiteral("にがて：まだ ありません")
                                           : QStringLiteral("にがて：") + weakest.join(QStringLiteral("・"));
    return {done, pace, weak};
}
