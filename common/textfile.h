#pragma once

#include <optional>
#include <string>
#include <string_view>

// How a file's bytes divide into lines.
// - DataFile, the rule of roma.txt and the word lists: a CR ends a line and
//   an LF right after it belongs to that line end; a lone LF is an ordinary
//   byte; a byte 0x1A ends the file.
// - Profile, the settings file, which its users edit with any editor and of
//   which every line must survive a save: an LF ends a line too, with or
//   without a CR before it, and 0x1A is an ordinary byte.
// This is the one place where the two differ.
enum class LineRules { DataFile, Profile };

// Reads lines by those rules. Reading at the end yields an empty line, so a
// reader that tests for the end after a record always gets at least one
// record.
class LineReader {
public:
    explicit LineReader(std::string_view bytes, LineRules rules = LineRules::DataFile);

    bool atEnd() const;
    std::string_view readLine();

private:
    std::string_view bytes_;
    LineRules rules_;
    std::size_t pos_ = 0;
};

constexpr std::string_view LineEnd = "\r\n";

// The text without the blanks (spaces and tabs) at either end, as the
// fields of a line are read.
std::string_view TrimBlanks(std::string_view text);

enum class FileStatus { Ok, CannotOpen, ReadError, TooLarge };

struct FileBytes {
    FileStatus status = FileStatus::Ok;
    std::string bytes;
};

// Files of these programs are small, far below this size; a larger one is
// none of theirs, and reading it would cost memory and time without bound.
constexpr std::size_t MaxFileBytes = std::size_t(1) << 20;

// Reads a whole file: reading it at once keeps every parser a pure function
// of the bytes. A file of more than `limit` bytes is TooLarge, and `bytes`
// then holds its first `limit` bytes.
FileBytes ReadFileBytes(const std::string& path, std::size_t limit = MaxFileBytes);

bool FileExists(const std::string& path);

// What a save did: `error` is 0 when the file holds the new bytes, else the
// errno of the step that failed, the file then being left as it was.
struct WriteOutcome {
    int error = 0;
    explicit operator bool() const { return error == 0; }
};

// Whether nobody but this user (and root) can write `directory`, so that no
// other user can have put a file or a link in it: owned by this user or
// root, writable neither by others nor by a group but this user's private
// group.
bool OnlyThisUserWrites(const std::string& directory);

// Replaces `path` by `bytes` so that the file on disk is always either the
// complete old file or the complete new one: the bytes go to a temporary file
// beside it, are flushed to the disk and then renamed over it.
// - A file this user may not write is refused (EACCES, EROFS, ...) and left
//   byte for byte, with its mode and owner.
// - A symbolic link is saved through to its target, which is replaced there;
//   the link stays a link. A link is refused (EACCES) unless it is this
//   user's or lies in a directory that no other user can write.
// - The replaced file keeps its mode (less set-user and set-group bits, as a
//   write would clear them), owner and group. Where the new file cannot be
//   given them (a file of another user that this one may write), the file is
//   rewritten in place instead, its new tail first, so that a write that
//   fails leaves the old file; only a kill in its middle can leave a mix.
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
