#include "recordstats.h"

#include "tally.h"

#include <algorithm>
#include <cmath>

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

double MissRate(const UnitCount& unit)
{
    const double all = double(unit.hits) + double(unit.misses);
    return all == 0 ? 0.0 : unit.misses / all;
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

std::optional<std::uint8_t> KeyCellOf(char ch)
{
    if (ch >= 'A' && ch <= 'Z')
        return KeyIndexFor(char(ch - 'A' + 'a'));
    // The JIS keyboard's shifted signs and the key that carries each.
    constexpr std::string_view Shifted = "!\"#$%&'()=~|`{+*}<>?";
    constexpr std::string_view Unshifted = "123456789-^\\@[;:],./";
    if (const auto at = Shifted.find(ch); at != std::string_view::npos)
        return KeyIndexFor(Unshifted[at]);
    return KeyIndexFor(ch);
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
    // Yellow through orange to dark red, lightness falling at every step.
    struct Stop {
        double rate;
        Colour colour;
    };
    constexpr Stop Scale[] = {
        {0.000, RGBColour(0xFF, 0xFF, 0xCC)}, {0.025, RGBColour(0xFE, 0xD9, 0x76)},
        {0.050, RGBColour(0xFD, 0x8D, 0x3C)}, {0.100, RGBColour(0xE3, 0x1A, 0x1C)},
        {0.200, RGBColour(0x80, 0x00, 0x26)},
    };
    if (!(missRate > 0))
        return Scale[0].colour;
    for (std::size_t i = 1; i < std::size(Scale); ++i) {
        if (missRate >= Scale[i].rate)
            continue;
        const Stop& a = Scale[i - 1];
        const Stop& b = Scale[i];
        const double t = (missRate - a.rate) / (b.rate - a.rate);
        const auto mix = [t](std::uint8_t x, std::uint8_t y) { return std::uint8_t(std::lround(x + (y - x) * t)); };
        return RGBColour(mix(RedOf(a.colour), RedOf(b.colour)), mix(GreenOf(a.colour), GreenOf(b.colour)),
                         mix(BlueOf(a.colour), BlueOf(b.colour)));
    }
    return Scale[std::size(Scale) - 1].colour;
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

QString CsvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
}

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
