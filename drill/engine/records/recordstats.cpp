#include "records/recordstats.h"

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

QString MissRateText(double missRate)
{
    return QStringLiteral("%1%").arg(missRate * 100, 0, 'f', 1);
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
    std::erase_if(units, [minimumKeys](const UnitCount& u) {
        return u.misses == 0 || std::uint64_t(u.hits) + u.misses < minimumKeys;
    });
    std::sort(units.begin(), units.end(), Weaker);
    if (units.size() > count)
        units.resize(count);
    return units;
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

QString Change(double now, double before, int decimals)
{
    const double step = std::pow(10.0, decimals);
    const double change = std::round((now - before) * step) / step;
    if (change == 0)
        return QStringLiteral("±0");
    return (change > 0 ? QStringLiteral("+") : QStringLiteral("-")) + QString::number(std::abs(change), 'f', decimals);
}

namespace {

QString NameOf(const QStringList& names, int oneBased)
{
    return oneBased >= 1 && oneBased <= names.size() ? names[oneBased - 1] : QString::number(oneBased);
}

} // namespace

QByteArray RecordsCsv(const std::vector<DrillSummary>& drills, const QStringList& levelNames,
                      const QStringList& modeNames)
{
    QStringList lines {QStringLiteral("日時,レベル,モード,正解数,ミス,時間(秒),得点,打鍵/分,正確さ(%)")};
    for (const DrillSummary& d : drills) {
        const QDateTime at = QDateTime::fromString(QString::fromStdString(d.finishedAt), Qt::ISODate).toLocalTime();
        const QStringList fields {
            at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
            NameOf(levelNames, d.level),
            NameOf(modeNames, d.mode),
            QString::number(d.hits),
            QString::number(d.misses),
            QString::number(d.elapsedMs / 1000.0, 'f', 3),
            QString::number(d.score),
            QString::number(KeysPerMinute(d.hits, d.elapsedMs), 'f', 1),
            QString::number(AccuracyPercent(d.hits, d.misses), 'f', 1),
        };
        QStringList quoted;
        for (const QString& f : fields)
            quoted << CsvField(f);
        lines << quoted.join(QLatin1Char(','));
    }
    return QByteArray("\xEF\xBB\xBF") + lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
}
