#include "records/waitingdrills.h"

#include "drillkind.h"
#include "records/drilltally.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <limits>

namespace {

const QString Mark = QStringLiteral("kidrill waiting drills");
constexpr int FormatVersion = 1;
// A key or kana's name, a lesson's name: far below these.
constexpr qsizetype LongestName = 16;
constexpr qsizetype LongestLesson = 64;

QJsonArray Units(const std::vector<UnitCount>& units)
{
    QJsonArray all;
    for (const UnitCount& u : units)
        all.append(QJsonArray {QString::fromStdString(u.name), qint64(u.hits), qint64(u.misses)});
    return all;
}

std::optional<std::uint32_t> Count(const QJsonValue& v)
{
    if (!v.isDouble())
        return std::nullopt;
    const double d = v.toDouble();
    if (d < 0 || d > std::numeric_limits<std::uint32_t>::max() || d != double(std::uint64_t(d)))
        return std::nullopt;
    return std::uint32_t(d);
}

std::optional<int> Int(const QJsonValue& v, int least, int most)
{
    if (!v.isDouble())
        return std::nullopt;
    const double d = v.toDouble();
    if (d < least || d > most || d != double(std::int64_t(d)))
        return std::nullopt;
    return int(d);
}

bool ReadUnits(const QJsonValue& value, std::size_t most, std::vector<UnitCount>& units)
{
    if (!value.isArray() || std::size_t(value.toArray().size()) > most)
        return false;
    for (const QJsonValue& v : value.toArray()) {
        const QJsonArray unit = v.toArray();
        const QString name = unit.at(0).toString();
        const auto hits = Count(unit.at(1));
        const auto misses = Count(unit.at(2));
        if (unit.size() != 3 || name.isEmpty() || name.size() > LongestName || !hits || !misses)
            return false;
        units.push_back({name.toStdString(), *hits, *misses});
    }
    return true;
}

std::optional<DrillRecord> ReadDrill(const QJsonObject& o)
{
    DrillRecord r;
    DrillSummary& d = r.drill;
    const QString at = o.value(QStringLiteral("finished_at")).toString();
    const QString lesson = o.value(QStringLiteral("lesson")).toString();
    const auto level = Int(o.value(QStringLiteral("level")), 0, LevelCount);
    const auto mode = Int(o.value(QStringLiteral("mode")), 1, ModeCount);
    const auto hits = Count(o.value(QStringLiteral("hits")));
    const auto misses = Count(o.value(QStringLiteral("misses")));
    const auto elapsed = Count(o.value(QStringLiteral("elapsed_ms")));
    const auto score = Int(o.value(QStringLiteral("score")), std::numeric_limits<std::int32_t>::min(),
                           std::numeric_limits<std::int32_t>::max());
    const auto goal = Int(o.value(QStringLiteral("goal")), 0, std::numeric_limits<int>::max());
    const QJsonValue stars = o.value(QStringLiteral("stars"));
    if (!QDateTime::fromString(at, Qt::ISODate).isValid() || at.size() != 20 || !at.endsWith(u'Z')
        || lesson.size() > LongestLesson || !level || !mode || !hits || !misses || !elapsed || !score || !goal
        || !(stars.isNull() || stars.isUndefined() || Int(stars, 0, MostStars))
        || !ReadUnits(o.value(QStringLiteral("keys")), 256, r.keys)
        || !ReadUnits(o.value(QStringLiteral("kana")), KanaSlotCount, r.kana))
        return std::nullopt;
    d = {at.toStdString(), *level, *mode, *hits, *misses, *elapsed, *score, lesson.toStdString(), *goal,
         stars.isDouble() ? std::optional(stars.toInt()) : std::nullopt};
    return r;
}

} // namespace

std::string FormatWaitingDrills(const std::vector<DrillRecord>& drills)
{
    QJsonArray all;
    for (const DrillRecord& r : drills) {
        const DrillSummary& d = r.drill;
        QJsonObject o {{QStringLiteral("finished_at"), QString::fromStdString(d.finishedAt)},
                       {QStringLiteral("level"), d.level},
                       {QStringLiteral("mode"), d.mode},
                       {QStringLiteral("hits"), qint64(d.hits)},
                       {QStringLiteral("misses"), qint64(d.misses)},
                       {QStringLiteral("elapsed_ms"), qint64(d.elapsedMs)},
                       {QStringLiteral("score"), d.score},
                       {QStringLiteral("lesson"), QString::fromStdString(d.lesson)},
                       {QStringLiteral("goal"), d.goal},
                       {QStringLiteral("stars"), d.stars ? QJsonValue(*d.stars) : QJsonValue()},
                       {QStringLiteral("keys"), Units(r.keys)},
                       {QStringLiteral("kana"), Units(r.kana)}};
        all.append(o);
    }
    const QJsonObject file {{Mark, FormatVersion}, {QStringLiteral("drills"), all}};
    return QJsonDocument(file).toJson(QJsonDocument::Compact).toStdString() + "\n";
}

std::optional<std::vector<DrillRecord>> ParseWaitingDrills(std::string_view bytes)
{
    QJsonParseError error {};
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray(bytes.data(), qsizetype(bytes.size())), &error);
    const QJsonObject file = document.object();
    const QJsonValue drills = file.value(QStringLiteral("drills"));
    if (error.error != QJsonParseError::NoError || file.value(Mark) != QJsonValue(FormatVersion)
        || !drills.isArray() || std::size_t(drills.toArray().size()) > WaitingCapacity)
        return std::nullopt;
    std::vector<DrillRecord> all;
    for (const QJsonValue& v : drills.toArray()) {
        std::optional<DrillRecord> drill = ReadDrill(v.toObject());
        if (!drill)
            return std::nullopt;
        all.push_back(std::move(*drill));
    }
    return all;
}
