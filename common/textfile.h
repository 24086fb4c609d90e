#pragma once

#include <optional>
#include <string>
#include <string_view>

// The line rules shared by every text file of both programs: a CR ends a
// line and an LF right after it belongs to that line end; a lone LF is an
// ordinary byte; a byte 0x1A ends the file. Reading at the end yields an
// empty line, so a reader that tests for the end after a record always gets
// at least one record.
class LineReader {
public:
    explicit LineReader(std::string_view bytes);

    bool atEnd() const;
    std::string_view readLine();

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

constexpr std::string_view LineEnd = "\r\n";

enum class FileStatus { Ok, CannotOpen, ReadError };

struct FileBytes {
    FileStatus status = FileStatus::Ok;
    std::string bytes;
};

// Reads a whole file. Files of these programs are small; reading them at
// once keeps every parser a pure function of the bytes.
FileBytes ReadFileBytes(const std::string& path);

bool FileExists(const std::string& path);

// Replaces `path` by `bytes` so that the file on disk is always either the
// complete old file or the complete new one: the bytes go to a temporary file
// beside it, are flushed to the disk and then renamed over it. Returns false,
// leaving the old file untouched, when any step fails.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);
