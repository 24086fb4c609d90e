// What the editor's writer writes, both readers read back field for field.
// The table comes from the editor's reader, so no field holds its separator.
#include "wordlist.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static WordTable written;
    ReadWordEntries(std::string_view(reinterpret_cast<const char*>(data), size), written);
    const std::string file = FormatWordEntries(written);

    static WordTable read;
    ReadWordEntries(file, read);
    static ProblemSet set;
    set.Count = 0;
    AppendWordList(file, set);
    if (read.EntryCount != written.EntryCount || set.Count != written.EntryCount)
        std::abort();
    for (std::uint16_t n = 1; n <= written.EntryCount; ++n) {
        const WordEntry& w = written.entry(n);
        const WordEntry& r = read.entry(n);
        if (r.Sentence.view() != w.Sentence.view() || r.Reading.view() != w.Reading.view() ||
            r.Meaning1.view() != w.Meaning1.view() || r.Meaning2.view() != w.Meaning2.view())
            std::abort();
        const Problem& p = set.problem(n);
        std::string meaning = w.Meaning1.str();
        if (!w.Meaning2.empty())
            meaning += '\r' + w.Meaning2.str();
        if (p.Sentence.view() != w.Sentence.view() || p.Reading.view() != w.Reading.view() || p.Meaning.view() != meaning)
            std::abort();
    }
    return 0;
}
