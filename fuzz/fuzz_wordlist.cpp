// Both readers of the word-list format on any bytes: every field within its
// width, the tables within their capacity.
#include "wordlist.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    static ProblemSet set;
    set.Count = 250; // appending after what is there must stop at the end
    AppendWordList(bytes, set);
    if (set.Count < 250 || set.Count > ProblemSet::Capacity)
        std::abort();
    set.Count = 0;
    AppendWordList(bytes, set);
    for (std::uint16_t n = 1; n <= set.Count; ++n) {
        const Problem& p = set.problem(n);
        if (p.Sentence.size() > 100 || p.Reading.size() > 200 || p.Meaning.size() > 200)
            std::abort();
    }
    static WordTable table;
    const bool complete = ReadWordEntries(bytes, table);
    if (table.EntryCount > WordTable::Capacity || (!complete && table.EntryCount != WordTable::Capacity))
        std::abort();
    return 0;
}
