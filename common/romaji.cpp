#include "romaji.h"

#include "textfile.h"

#include <algorithm>

namespace {

constexpr std::string_view SmallTsu = "\x82\xc1"; // っ

// A small tsu before a syllable starting with one of these cannot double
// the letter, so the romaji of the table's own small tsu is typed instead.
bool TakesSokuonRomaji(char c)
{
    return std::string_view("aeinou").find(c) != std::string_view::npos;
}

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

} // namespace

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
        const auto comma = line.find(',');
        if (comma == std::string_view::npos) {
            e.Romaji.assign(line);
        } else {
            e.Kana.assign(line.substr(0, comma));
            e.Romaji.assign(line.substr(comma + 1));
        }
        if (e.Kana == SmallTsu)
            sokuon = e.Romaji;
    } while (!lines.atEnd());
}

Conversion ConvertReading(std::string_view reading, const RomajiTableData& table, std::string_view sokuon)
{
    Conversion result;
    std::size_t p = 0; // 0-based here; reported 1-based
    // The first step always runs; then steps go on while more than one byte
    // is left, so a single trailing byte is never converted.
    do {
        bool tsuPending = false;
        if (reading.substr(p, SmallTsu.size()) == SmallTsu) {
            tsuPending = true;
            p += SmallTsu.size();
        }
        const std::string_view rest = p < reading.size() ? reading.substr(p) : std::string_view();
        const RomajiEntry* match = FirstMatch(rest, table);
        if (!match) {
            result.FailedAt = static_cast<std::uint16_t>(p + 1);
            return result;
        }
        if (tsuPending && !match->Romaji.empty()) {
            const char first = match->Romaji.at(1);
            if (TakesSokuonRomaji(first))
                result.Romaji.append(sokuon);
            else
                result.Romaji.append(first);
        }
        result.Romaji.append(match->Romaji);
        p += match->Kana.size();
    } while (reading.size() > p + 1);
    result.Converted = static_cast<std::uint16_t>(std::min(p, reading.size()));
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
