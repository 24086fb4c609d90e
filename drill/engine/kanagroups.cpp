#include "kanagroups.h"

#include <algorithm>

void GroupByConversion(std::string_view reading, const RomajiTableData& table, std::string_view sokuon,
                       std::size_t keyLimit, KanaGroups& out)
{
    out.count = 0;
    std::size_t kanaAt = 0;
    std::size_t keysAt = 0;
    Conversion conversion;
    WalkConversion(reading, table, conversion, [&](const ConversionStep& step) {
        const std::size_t kanaSize = (step.smallTsu ? SmallTsu.size() : 0) + step.entry->Kana.size();
        const std::size_t keys =
            (step.smallTsu ? SmallTsuKeys(step.entry->Romaji, sokuon).size() : 0) + step.entry->Romaji.size();
        if (keys > 0 && keysAt < keyLimit && out.count < out.groups.size())
            out.groups[out.count++] = {std::uint16_t(kanaAt), std::uint16_t(kanaSize), std::uint16_t(keysAt),
                                       std::uint16_t(std::min(keys, keyLimit - keysAt))};
        kanaAt += kanaSize;
        keysAt += keys;
    });
}

void GroupByMatcher(const RomajiMatcher& matcher, KanaGroups& out)
{
    out.count = std::min(matcher.unitCount(), out.groups.size());
    for (std::size_t u = 0; u < out.count; ++u) {
        const RomajiMatcher::Span kana = matcher.kanaOf(u);
        const std::size_t at = matcher.lineAt(u);
        const std::size_t end = u + 1 < matcher.unitCount() ? matcher.lineAt(u + 1) : matcher.line().size();
        out.groups[u] = {std::uint16_t(kana.at), std::uint16_t(kana.size), std::uint16_t(at), std::uint16_t(end - at)};
    }
}

std::size_t GroupOfKey(const KanaGroups& groups, std::size_t key)
{
    for (std::size_t g = 0; g < groups.count; ++g)
        if (key < std::size_t(groups.groups[g].keysAt) + groups.groups[g].keysSize)
            return g;
    return groups.count;
}
