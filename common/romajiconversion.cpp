#include "romajiconversion.h"

#include "textfile.h"

#include <algorithm>

const RomajiEntry* FirstMatch(std::string_view rest, const RomajiTableData& table)
{
    for (std::uint16_t n = 1; n <= table.Count; ++n) {
        const RomajiEntry& e = table.entry(n);
        // An empty kana would match everywhere without moving on.
        if (!e.Kana.empty() && rest.substr(0, e.Kana.size()) == e.Kana.view())
            return &e;
    }
    return nullptr;
}

std::string_view SmallTsuKeys(std::string_view romaji, std::string_view sokuon)
{
    if (romaji.empty())
        return {};
    // Before a vowel or n the letter cannot be doubled.
    return std::string_view("aeinou").find(romaji.front()) != std::string_view::npos ? sokuon : romaji.substr(0, 1);
}

RomajiLine SplitRomajiLine(std::string_view line)
{
    const auto comma = line.find(',');
    if (comma == std::string_view::npos)
        return {{}, line};
    return {line.substr(0, comma), line.substr(comma + 1)};
}

void ParseRomajiTable(std::string_view bytes, RomajiTableData& table, FixedString<3>& sokuon)
{
    for (RomajiEntry& e : table.Entries)
        e = RomajiEntry {};
    table.Count = 0;
    sokuon.clear();
    LineReader lines(bytes);
    do {
        const std::string_view line = lines.readLine();
        if (table.Count == RomajiTableData::Capacity)
            continue;
        ++table.Count;
        RomajiEntry& e = table.entry(table.Count);
        const RomajiLine fields = SplitRomajiLine(line);
        e.Kana.assign(fields.kana);
        e.Romaji.assign(fields.romaji);
        if (e.Kana == SmallTsu)
            sokuon = e.Romaji;
    } while (!lines.atEnd());
}

Conversion ConvertReading(std::string_view reading, const RomajiTableData& table, std::string_view sokuon)
{
    Conversion result;
    WalkConversion(reading, table, result, [&](const ConversionStep& step) {
        if (step.smallTsu)
            result.Romaji.append(SmallTsuKeys(step.entry->Romaji, sokuon));
        result.Romaji.append(step.entry->Romaji);
    });
    return result;
}

std::optional<std::size_t> FirstUntypeable(std::string_view reading, const RomajiTableData& table,
                                           std::string_view sokuon)
{
    const Conversion c = ConvertReading(reading, table, sokuon);
    if (c.ok())
        return c.Converted < reading.size() ? std::optional<std::size_t>(c.Converted) : std::nullopt;
    // Nothing after a closing small tsu: the tsu itself cannot be typed.
    const std::size_t at = c.FailedAt - 1u;
    return at >= reading.size() && reading.size() >= SmallTsu.size() ? reading.size() - SmallTsu.size() : at;
}
