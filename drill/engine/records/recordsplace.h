#pragma once

#include <string>

// Where the learner's records are kept. SQLite trusts what it finds beside
// its database: a journal that another user put there would roll the
// learner's records back (to nothing), a link in the database's place would
// be followed into any file of the learner's. So the records live only
// where nobody else may write: beside the settings when that directory is
// the learner's alone, else in the learner's own data directory, to which
// the learner's records found in the shared one are moved. What is there
// must be the learner's: a file (or a companion file SQLite keeps beside it)
// of another user is refused, and a link is followed only to a file of the
// learner's in a directory of the learner's alone.
struct RecordsPlace {
    std::string directory; // where the records are, ending in '/'
    std::string file;      // the file to open, a link resolved; empty when there is none
    // What stands in the way, when nothing may be kept: a directory that
    // others may write, or a file that is not the learner's.
    std::string refused;
    bool refusedDirectory = false;
    // A step that failed (making the directory, moving the records): its
    // errno, and the path it failed on.
    int error = 0;
    std::string failedPath;
    // The learner's records found in the shared directory and moved to
    // `file`, and where the shared copy was renamed to (empty when it
    // could not be).
    std::string movedFrom;
    std::string movedAside;
};

// The directory of the records: `userDir` (which holds the learner's
// settings) when nobody else may write it, else `ownDir`.
std::string RecordsDirectory(const std::string& userDir, const std::string& ownDir);

// `userDir` holds the learner's settings; `ownDir` is the learner's own data
// directory (OwnDataDirectory()), made when it is needed.
RecordsPlace ChooseRecordsPlace(const std::string& userDir, const std::string& ownDir);

// The companion files SQLite keeps beside a database while it writes: a
// hot journal belongs to its database and must go where the database goes.
inline constexpr const char* CompanionSuffixes[] = {"-journal", "-wal", "-shm"};
