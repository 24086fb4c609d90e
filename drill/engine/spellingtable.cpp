#include "spellingtable.h"

#include "textfile.h"

void ParseSpellings(std::string_view bytes, SpellingTable& table)
{
    constexpr std::uint16_t capacity = SpellingTable::Capacity;
    table = SpellingTable {};
    // The lines as the romaji table reads them, so that line n here is its
    // entry n.
    std::array<FixedString<6>, capacity> kana {};
    std::array<SpellingTable::Keys, capacity> keys {};
    std::uint16_t lineCount = 0;
    LineReader lines(bytes);
    do {
        const std::string_view line = lines.readLine();
        if (lineCount == capacity)
            continue;
        const RomajiLine fields = SplitRomajiLine(line);
        kana[lineCount].assign(fields.kana);
        keys[lineCount].assign(fields.romaji);
        ++lineCount;
    } while (!lines.atEnd());

    // A group per distinct kana, named by its first line.
    std::array<std::uint16_t, capacity> firstLineOfGroup {};
    const auto groupOf = [&](std::string_view k) -> std::int16_t {
        for (std::uint16_t g = 0; g < table.groupCount; ++g)
            if (kana[firstLineOfGroup[g]] == k)
                return std::int16_t(g);
        return SpellingTable::None;
    };
    for (std::uint16_t n = 0; n < lineCount; ++n) {
        std::int16_t g = groupOf(kana[n]);
        if (g == SpellingTable::None) {
            g = std::int16_t(table.groupCount++);
            firstLineOfGroup[std::size_t(g)] = n;
        }
        table.groupOfLine[n] = std::uint16_t(g);
        ++table.groups[std::size_t(g)].count;
    }
    for (std::uint16_t g = 1; g < table.groupCount; ++g)
        table.groups[g].first = std::uint16_t(table.groups[g - 1].first + table.groups[g - 1].count);
    std::array<std::uint16_t, capacity> filled {};
    for (std::uint16_t n = 0; n < lineCount; ++n) {
        const std::uint16_t g = table.groupOfLine[n];
        table.keys[table.groups[g].first + filled[g]++] = keys[n];
    }

    for (std::uint16_t n = 0; n < lineCount; ++n) {
        auto& parts = table.partsOfLine[n];
        parts.fill(SpellingTable::None);
        const std::string_view k = kana[n];
        std::size_t count = 0;
        bool whole = true;
        for (std::size_t at = 0; at < k.size() && whole;) {
            const std::size_t length = Cp932CharLength(static_cast<unsigned char>(k[at]));
            const std::int16_t g = groupOf(k.substr(at, length));
            whole = g != SpellingTable::None && count < parts.size();
            if (whole)
                parts[count++] = g;
            at += length;
        }
        // A kana of its own, or one whose parts cannot all be typed, is
        // never split.
        if (!whole || count < 2)
            parts.fill(SpellingTable::None);
    }
    table.smallTsuGroup = groupOf(SmallTsu);
}
