#include "wordlist.h"

#include "userfiles.h"

#include <algorithm>

namespace {

constexpr char SentenceSeparator = ',';
constexpr char MeaningSeparator = '+';
// The reading is first taken as at most 255 bytes, then cut to its field.
constexpr std::size_t ReadingSpan = 255;

WordRecord SplitRecord(std::string_view line1, std::string_view line2)
{
    WordRecord record;
    const auto comma = line1.find(SentenceSeparator);
    if (comma == std::string_view::npos) {
        record.reading = line1.substr(0, ReadingSpan);
    } else {
        record.sentence = line1.substr(0, comma);
        record.reading = line1.substr(comma + 1, ReadingSpan);
    }
    record.meaningLine = line2;
    return record;
}

// Enough of line 2 to decide the cut of the drill's meaning field.
using MeaningBuffer = std::array<char, decltype(Problem::Meaning)::capacity + 1>;

// Line 2 with its first "+" turned into the CR of the meaning label.
std::string_view MeaningWithLineBreak(std::string_view line, MeaningBuffer& buffer)
{
    const std::size_t n = std::min(line.size(), buffer.size());
    std::copy_n(line.begin(), n, buffer.begin());
    const std::string_view head(buffer.data(), n);
    const auto plus = head.find(MeaningSeparator);
    if (plus != std::string_view::npos)
        buffer[plus] = '\r';
    return head;
}

} // namespace

bool WordListReader::next(WordRecord& record)
{
    while (!ended_) {
        const std::string_view line1 = lines_.readLine();
        const std::string_view line2 = lines_.readLine();
        recordLine_ = linesRead_ + 1;
        linesRead_ += 2;
        ended_ = lines_.atEnd();
        if (!line1.empty() || !line2.empty()) {
            record = SplitRecord(line1, line2);
            return true;
        }
    }
    return false;
}

void AppendWordList(std::string_view bytes, ProblemSet& set)
{
    WordListReader reader(bytes);
    WordRecord record;
    MeaningBuffer buffer;
    while (set.Count < ProblemSet::Capacity && reader.next(record)) {
        ++set.Count;
        Problem& p = set.problem(set.Count);
        p.Sentence.assign(record.sentence);
        p.Reading.assign(record.reading);
        p.Romaji.clear();
        p.Meaning.assign(MeaningWithLineBreak(record.meaningLine, buffer));
    }
}

FileStatus LoadWordList(const std::string& path, ProblemSet& set)
{
    const FileBytes file = ReadFileBytes(path);
    if (file.status == FileStatus::Ok)
        AppendWordList(file.bytes, set);
    return file.status;
}

bool ReadWordEntries(std::string_view bytes, WordTable& table)
{
    table.EntryCount = 0;
    WordListReader reader(bytes);
    WordRecord record;
    while (reader.next(record)) {
        if (table.EntryCount == WordTable::Capacity)
            return false;
        ++table.EntryCount;
        WordEntry& e = table.entry(table.EntryCount);
        e.Sentence.assign(record.sentence);
        e.Reading.assign(record.reading);
        const auto plus = record.meaningLine.find(MeaningSeparator);
        if (plus == std::string_view::npos) {
            e.Meaning1.assign(record.meaningLine);
            e.Meaning2.clear();
        } else {
            e.Meaning1.assign(record.meaningLine.substr(0, plus));
            e.Meaning2.assign(record.meaningLine.substr(plus + 1, ReadingSpan));
        }
    }
    return true;
}

WordEntriesLoad LoadWordEntries(const std::string& path, WordTable& table)
{
    table.EntryCount = 0;
    WordEntriesLoad load;
    if (!FileExists(path))
        return load;
    const FileBytes file = ReadFileBytes(path);
    load.status = file.status;
    if (file.status == FileStatus::Ok)
        load.complete = ReadWordEntries(file.bytes, table);
    return load;
}

std::string FormatWordEntries(const WordTable& table)
{
    std::string out;
    for (std::uint16_t n = 1; n <= table.EntryCount; ++n) {
        const WordEntry& e = table.entry(n);
        out += e.Sentence.view();
        out += SentenceSeparator;
        out += e.Reading.view();
        out += LineEnd;
        out += e.Meaning1.view();
        if (!e.Meaning2.empty()) {
            out += MeaningSeparator;
            out += e.Meaning2.view();
        }
        out += LineEnd;
    }
    return out;
}

WriteOutcome SaveWordEntries(const std::string& path, const WordTable& table)
{
    return WriteUserFile(path, FormatWordEntries(table));
}
