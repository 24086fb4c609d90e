#include "records/recordstats.h"

#include "drillkind.h"
#include "records/csv.h"


#include <algorithm>
#include <cmath>

namespace {

// A part of all keys, hits and misses; 0 when there were none.
double ShareOfKeys(double part, std::uint64_t hits, std::uint64_t misses)
{
    const double all = double(hits) + double(misses);
    return all == 0 ? 0.0 : part / all;
}

} // namespace

double KeysPerMinute(std::uint64_t hits, std::uint64_t elapsedMs)
{
    return elapsedMs == 0 ? 0.0 : hits * 60000.0 / elapsedMs;
}

double AccuracyPercent(std::uint64_t hits, std::uint64_t misses)
{
    return ShareOfKeys(hits * 100.0, hits, misses);
}

double MissRate(const UnitCount& unit)
{
    return ShareOfKeys(unit.misses, unit.hits, unit.misses);
}

QString TimesMissed(const UnitCount& unit)
{
    return QStringLiteral("%1回中 %2回 まちがい").arg(std::uint64_t(unit.hits) + unit.misses).arg(unit.misses);
}

std::string RecordTime(const QDateTime& time)
{
    return time.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ")).toStdString();
}

std::string RecentSince(const QDate& today)
{
    return RecordTime(QDateTime(today.addDays(1 - RecentDays), QTime(0, 0)));
}

int DaysInARow(const std::vector<std::string>& daysNewestFirst, const QDate& today)
{
    int run = 0;
    QDate expected = today;
    for (const std::string& text : daysNewestFirst) {
        const QDate day = QDate::fromString(QString::fromStdString(text), Qt::ISODate);
        if (!day.isValid() || day > expected)
            continue; // a clock set back: a day after today ends nothing
        if (run == 0 && day == today.addDays(-1))
            expected = day;
        if (day != expected)
            break;
        ++run;
        expected = expected.addDays(-1);
    }
    return run;
}

bool Weaker(const UnitCount& a, const UnitCount& b)
{
    const double ra = MissRate(a);
    const double rb = MissRate(b);
    if (ra != rb)
        return ra > rb;
    if (a.misses != b.misses)
        return a.misses > b.misses;
    return a.name < b.name;
}

std::vector<UnitCount> Weakest(std::vector<UnitCount> units, std::size_t count, std::uint32_t minimumKeys)
{
    return WeakestBy(std::move(units), count, minimumKeys, [](const UnitCount& u) -> const UnitCount& { return u; });
}

std::array<UnitCount, KeyLabelCount> CountsPerCell(const std::vector<UnitCount>& keys)
{
    std::array<UnitCount, KeyLabelCount> cells {};
    for (const UnitCount& key : keys) {
        if (key.name.size() != 1)
            continue;
        if (const auto cell = KeyCellOf(key.name.front())) {
            cells[*cell].hits += key.hits;
            cells[*cell].misses += key.misses;
        }
    }
    return cells;
}

Colour HeatColour(double missRate)
{
    if (!(missRate > 0))
        return HeatScale[0].colour;
    for (std::size_t i = 1; i < std::size(HeatScale); ++i) {
        if (missRate >= HeatScale[i].rate)
            continue;
        const HeatStep& a = HeatScale[i - 1];
        const HeatStep& b = HeatScale[i];
        const double t = (missRate - a.rate) / (b.rate - a.rate);
        const auto mix = [t](std::uint8_t x, std::uint8_t y) { return std::uint8_t(std::lround(x + (y - x) * t)); };
        return RGBColour(mix(RedOf(a.colour), RedOf(b.colour)), mix(GreenOf(a.colour), GreenOf(b.colour)),
                         mix(BlueOf(a.colour), BlueOf(b.colour)));
    }
    return HeatScale[std::size(HeatScale) - 1].colour;
}

QString SignedChange(double now, double before, int decimals)
{
    const double step = std::pow(10.0, decimals);
    const double change = std::round((now - before) * step) / step;
    if (change == 0)
        return QStringLiteral("±0");
    return (change > 0 ? QStringLiteral("+") : QStringLiteral("-")) + QString::number(std::abs(change), 'f', decimals);
}

QString Change(double now, double before, int decimals)
{
    const QString change = SignedChange(now, before, decimals);
    return change == QStringLiteral("±0") ? QStringLiteral("まえと おなじ") : QStringLiteral("まえより ") + change;
}

namespace {

QString NameOf(const QStringList& names, int oneBased)
{
    return oneBased >= 1 && oneBased <= names.size() ? names[oneBased - 1] : QString::number(oneBased);
}

} // namespace

QString LevelNameOf(int level)
{
    return level == 0 ? QString::fromUtf8(CourseName) : NameOf(LevelNames(), level);
}

QString ModeNameOf(int mode)
{
    return mode == LessonMode ? QString::fromUtf8(LessonRunName) : NameOf(ModeNames(), mode);
}

QByteArray RecordsCsv(const std::vector<DrillSummary>& drills, const std::map<std::string, QString>& lessonTitles)
{
    QList<QStringList> rows {{QStringLiteral("日時"), QStringLiteral("レベル"), QStringLiteral("レベルの名前"),
                                    QStringLiteral("モード"), QStringLiteral("モードの名前"), QStringLiteral("レッスン"),
                                    QStringLiteral("レッスンの名前"), QStringLiteral("正解数"), QStringLiteral("ミス"),
                                    QStringLiteral("時間(秒)"), QStringLiteral("得点"), QStringLiteral("打鍵/分"),
                                    QStringLiteral("正確さ(%)"), QStringLiteral("目標(打鍵/分)"), QStringLiteral("星")}};
    for (const DrillSummary& d : drills) {
        const QDateTime at = QDateTime::fromString(QString::fromStdString(d.finishedAt), Qt::ISODate).toLocalTime();
        const auto title = lessonTitles.find(d.lesson);
        rows.push_back({
            at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
            QString::number(d.level),
            LevelNameOf(d.level),
            QString::number(d.mode),
            ModeNameOf(d.mode),
            QString::fromStdString(d.lesson),
            title != lessonTitles.end() ? title->second : QString::fromStdString(d.lesson),
            QString::number(d.hits),
            QString::number(d.misses),
            QString::number(d.elapsedMs / 1000.0, 'f', 3),
            QString::number(d.score),
            QString::number(KeysPerMinute(d.hits, d.elapsedMs), 'f', 1),
            QString::number(AccuracyPercent(d.hits, d.misses), 'f', 1),
            d.goal > 0 ? QString::number(d.goal) : QString(),
            d.stars ? QString::number(*d.stars) : QString(),
        });
    }
    return CsvFile(rows);
}
