// The romaji table, the conversion and the flexible matcher: the bytes
// before the first NUL are a roma.txt, each line after it a reading, and
// the bytes after a second NUL the keys typed for every reading.
#include "romajimatcher.h"
#include "romajitable.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto split = input.find('\0');
    static RomajiTableData table;
    static SpellingTable spellings;
    static RomajiMatcher matcher;
    FixedString<3> sokuon;
    ParseRomajiTable(input.substr(0, split), table, sokuon);
    ParseSpellings(input.substr(0, split), spellings);
    if (table.Count < 1 || table.Count > RomajiTableData::Capacity)
        std::abort();
    if (split == std::string_view::npos)
        return 0;
    std::string_view readings = input.substr(split + 1);
    std::string_view keys;
    if (const auto second = readings.find('\0'); second != std::string_view::npos) {
        keys = readings.substr(second + 1);
        readings = readings.substr(0, second);
    }
    while (!readings.empty()) {
        const auto end = readings.find('\n');
        // A reading reaches the conversion through its 200-byte field.
        const FixedString<200> reading(readings.substr(0, end));
        const Conversion c = ConvertReading(reading, table, sokuon);
        if (c.Romaji.size() > 255 || c.FailedAt > reading.size() + 1)
            std::abort();
        if (matcher.start(reading, table, sokuon, spellings) != c.ok())
            std::abort();
        if (c.ok()) {
            // The row starts as the conversion shows it, wherever that fits.
            if (c.Romaji.size() < 255 && matcher.line() != c.Romaji.view())
                std::abort();
            std::size_t hits = 0, misses = 0;
            for (const char key : keys) {
                const bool wasDone = matcher.done();
                const RomajiMatcher::Press press = matcher.press(key);
                (press.hit ? hits : misses) += 1;
                // The row holds the keys hit so far, in order, then the rest;
                // nothing hits once the reading is typed.
                if (matcher.typedCount() != hits || (press.hit && (wasDone || matcher.line()[hits - 1] != key)))
                    std::abort();
            }
            if (hits + misses != keys.size())
                std::abort();
        }
        readings = end == std::string_view::npos ? std::string_view() : readings.substr(end + 1);
    }
    return 0;
}
