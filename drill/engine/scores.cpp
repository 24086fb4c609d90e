#include "scores.h"

#include "captions.h"
#include "cp932.h"

#include <QString>

#include <algorithm>
#include <cstdint>

HighScores HighScoreTable;

namespace {

// Milliseconds of a clock text such as " 45.678".
std::int64_t ClockMilliseconds(const std::string& text)
{
    std::size_t i = text.find_first_not_of(' ');
    std::int64_t seconds = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        seconds = seconds * 10 + (text[i] - '0');
    std::int64_t fraction = 0;
    int places = 0;
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9' && places < 3; ++i, ++places)
            fraction = fraction * 10 + (text[i] - '0');
    }
    for (; places < 3; ++places)
        fraction *= 10;
    return seconds * 1000 + fraction;
}

} // namespace

bool RecordScore(HighScores& table, int level, int mode, std::int32_t score)
{
    std::int32_t& best = table.at(level, mode);
    if (score <= best)
        return false;
    best = score;
    return true;
}

DrillResult ScoreDrill(const DrillCounters& counters, const std::string& clockText)
{
    DrillResult result;
    std::int64_t score = 0;
    const std::int64_t penalty = 5 * std::int64_t(counters.Misses);
    if (IsTimeTrial(counters.Mode)) {
        result.timeText = std::to_string(counters.TimeLimit) + ".000";
        score = std::int64_t(counters.Hits) - penalty;
    } else {
        result.timeText = clockText;
        // A character trial ends only at its target, so Hits is never 0.
        const std::int64_t perKey = counters.Hits ? ClockMilliseconds(clockText) / counters.Hits : 2000;
        score = (2000 - perKey) / 2 - penalty;
    }
    result.score = static_cast<std::int32_t>(score < 0 ? 0 : score);
    result.elapsedMs = static_cast<std::uint32_t>(std::min<std::int64_t>(ClockMilliseconds(result.timeText), UINT32_MAX));
    return result;
}

std::string MostMissedKeys(const DrillCounters& counters)
{
    const unsigned threshold = counters.Misses / 5u;
    std::string keys;
    for (int code = 1; code <= 200; ++code) {
        if (counters.MissByChar[code] > threshold) {
            // A blank between blanks would show nothing.
            if (code == ' ')
                keys += *EncodeCp932(QStringLiteral("スペース"));
            else
                keys += static_cast<char>(code);
            keys += ' ';
        }
    }
    return keys.empty() ? *EncodeCp932(QString::fromUtf8(ShownCaption(CaptionId::NoneMissed))) : keys;
}
