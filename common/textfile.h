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

// What a save did: `error` is 0 when the file holds the new bytes, else the
// errno of the step that failed, the file then being left as it was.
struct WriteOutcome {
    int error = 0;
    explicit operator bool() const { return error == 0; }
};

// Replaces `path` by `bytes` so that the file on disk is always either the
// complete old file or the complete new one: the bytes go to a temporary file
// beside it, are flushed to the disk and then renamed over it.
// - A file this user may not write is refused (EACCES, EROFS, ...) and left
//   byte for byte, with its mode and owner.
// - A symbolic link is saved through to its target, which is replaced there;
//   the link stays a link.
// - The replaced file keeps its mode (less set-user and set-group bits, as a
//   write would clear them), owner and group. Where the new file cannot be
//   given them (a file of another user that this one may write), the file is
//   rewritten in place instead, after its new size has been reserved on the
//   disk; that rewrite is not atomic against a kill in its middle.
// - Temporary files that a killed save of the same file left behind are
//   removed first: regular files of this user named exactly as this function
//   names them (TemporaryPattern), never anything else.
WriteOutcome WriteFileAtomically(const std::string& path, std::string_view bytes);

// The temporary file of a save of `name`, before mkstemp fills in the Xs.
// Hidden, and named so that no user file matches it.
std::string TemporaryPattern(std::string_view name);

// Creates `directory` and its missing parents, each private to this user.
// Returns 0 or the errno of the step that failed.
int CreateDirectories(const std::string& directory);
