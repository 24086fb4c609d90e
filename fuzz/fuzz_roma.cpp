// The romaji table and the conversion: the bytes before the first NUL are a
// roma.txt, each line after it a reading.
#include "roma.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto split = input.find('\0');
    static RomajiTableData table;
    FixedString<3> sokuon;
    ParseRomajiTable(input.substr(0, split), table, sokuon);
    if (table.Count < 1 || table.Count > RomajiTableData::Capacity)
        std::abort();
    if (split == std::string_view::npos)
        return 0;
    std::string_view readings = input.substr(split + 1);
    while (!readings.empty()) {
        const auto end = readings.find('\n');
        // A reading reaches the conversion through its 200-byte field.
        const FixedString<200> reading(readings.substr(0, end));
        const Conversion c = ConvertReading(reading, table, sokuon);
        if (c.Romaji.size() > 255 || c.FailedAt > reading.size() + 1)
            std::abort();
        readings = end == std::string_view::npos ? std::string_view() : readings.substr(end + 1);
    }
    return 0;
}
