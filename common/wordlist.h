#pragma once

#include "fixedstring.h"
#include "textfile.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// One drill item. The text fields hold CP932 bytes.
struct Problem {
    FixedString<100> Sentence;
    FixedString<200> Reading;
    FixedString<255> Romaji;
    FixedString<200> Meaning; // the first "+" of the file's line became a CR
};

struct ProblemSet {
    static constexpr std::uint16_t Capacity = 300;

    std::array<Problem, Capacity> Problems;
    std::uint16_t Count = 0;

    // 1-based, like every table of the program.
    Problem& problem(std::uint16_t n) { return Problems.at(n - 1u); }
    const Problem& problem(std::uint16_t n) const { return Problems.at(n - 1u); }
};

// The editor's record of one entry.
struct WordEntry {
    FixedString<100> Sentence;
    FixedString<200> Reading;
    FixedString<100> Meaning1;
    FixedString<99> Meaning2; // empty when the meaning has one line
};

struct WordTable {
    static constexpr std::uint16_t Capacity = 200;

    std::array<WordEntry, Capacity> WordEntries;
    std::uint16_t EntryCount = 0;

    WordEntry& entry(std::uint16_t n) { return WordEntries.at(n - 1u); }
    const WordEntry& entry(std::uint16_t n) const { return WordEntries.at(n - 1u); }
};

// One entry of a word-list file as it stands in the file, split at its
// separators but not yet cut to any field width.
struct WordRecord {
    std::string_view sentence;   // line 1 before the first comma
    std::string_view reading;    // line 1 after the first comma, at most 255 bytes; the whole line without one
    std::string_view meaningLine; // line 2 as it stands
};

// Walks the entries of a word-list file: two lines each, the end of the file
// tested after both. A record whose two lines are both empty (an empty file,
// blank lines at the end) is no entry.
class WordListReader {
public:
    explicit WordListReader(std::string_view bytes) : lines_(bytes) {}
    bool next(WordRecord& record);
    // The 1-based line of the file where the last record read begins.
    std::size_t line() const { return recordLine_; }

private:
    LineReader lines_;
    bool ended_ = false;
    std::size_t linesRead_ = 0;
    std::size_t recordLine_ = 0;
};

// The drill's reader: appends the entries to the set after those already in
// it. Entries past the set's capacity are ignored.
void AppendWordList(std::string_view bytes, ProblemSet& set);
FileStatus LoadWordList(const std::string& path, ProblemSet& set);

// The editor's reader: fills the table from the start. Returns false when
// the file held more entries than the table, which then holds the first ones.
bool ReadWordEntries(std::string_view bytes, WordTable& table);

struct WordEntriesLoad {
    FileStatus status = FileStatus::Ok;
    bool complete = true; // false: more entries than the table holds
};
// A missing file gives an empty table and FileStatus::Ok.
WordEntriesLoad LoadWordEntries(const std::string& path, WordTable& table);

// The editor's writer. Every line, the last one included, ends with CR LF;
// no entries give an empty file. The save is a learner's file save
// (WriteUserFile).
std::string FormatWordEntries(const WordTable& table);
WriteOutcome SaveWordEntries(const std::string& path, const WordTable& table);
