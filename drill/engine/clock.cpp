#include "clock.h"

namespace {
constexpr std::uint32_t LargestShown = 999999;
}

std::string ClockText(std::uint32_t milliseconds)
{
    std::string digits = std::to_string(milliseconds);
    if (digits.size() < 6)
        digits.insert(0, std::string("  000").substr(0, 6 - digits.size()));
    return digits.substr(0, 3) + "." + digits.substr(3, 3);
}

ClockReading ReadClock(std::uint8_t mode, std::int32_t timeLimit, std::uint32_t startTime, std::uint32_t now)
{
    const std::uint32_t elapsed = now - startTime;
    if (!IsTimeTrial(mode))
        return {elapsed < LargestShown ? elapsed : LargestShown, false};
    // In 64 bits: a limit and an elapsed time of any size compare correctly.
    const std::int64_t remaining = std::int64_t(timeLimit) * 1000 - std::int64_t(elapsed);
    if (remaining < 0)
        return {0, true};
    return {static_cast<std::uint32_t>(remaining < LargestShown ? remaining : LargestShown), false};
}

std::string ProgressText(std::uint16_t hits, std::uint16_t target)
{
    return target ? std::to_string(hits) + " / " + std::to_string(target) : std::to_string(hits);
}
