#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The learner's records: every finished drill with its keys and kana, in a
// SQLite file. The store lives in a module of its own, loaded only when
// records are on, so that nothing of the database costs the drill at
// start-up otherwise. Texts are UTF-8; times are UTC, ISO 8601. "Before"
// and "after" are the order drills were kept in, never their times: a clock
// set wrong for a while dates drills years ahead.

// A key (the character, as text) or a kana, and how it went.
struct UnitCount {
    std::string name;
    std::uint32_t hits = 0;
    std::uint32_t misses = 0;
};

struct DrillSummary {
    std::string finishedAt; // "2026-12-09T18:10:38Z"
    int level = 0;
    int mode = 0;
    std::uint32_t hits = 0;
    std::uint32_t misses = 0;
    std::uint32_t elapsedMs = 0;
    std::int32_t score = 0;
    std::string lesson; // the lesson's file, or the weak lesson's name; empty for a level
    // A lesson's drill: the goal in force when it was played (keys per
    // minute) and the stars earned against it, kept as earned. 0 and none
    // for a level's drill, the weak lesson and drills kept before stars were.
    int goal = 0;
    std::optional<int> stars {};
};

// A lesson's drill earns 0 to MostStars stars.
constexpr int MostStars = 3;

struct DrillRecord {
    DrillSummary drill;
    std::vector<UnitCount> keys;
    std::vector<UnitCount> kana;
};

// A key or kana of one drill.
struct UnitDrillRow {
    std::int64_t drill = 0;
    std::string name;
    bool kana = false;
    std::uint32_t hits = 0;
    std::uint32_t misses = 0;
};

// Practice of one day, in the learner's local time.
struct DayTotal {
    std::string day; // "2026-12-09"
    std::uint64_t elapsedMs = 0;
    std::uint64_t hits = 0;
};

class RecordStore {
public:
    virtual ~RecordStore() = default;

    enum class Opening {
        Ready,
        // The file was no database of ours: it was renamed to setAside() and
        // a new one begun.
        StartedAnew,
        // Another program holds the file: nothing was read or changed, and
        // a later open may succeed.
        Busy,
        // Nothing can be kept: the location cannot be written, or a broken
        // file could not be set aside.
        Unavailable,
    };
    // `path` is a regular file of this user's, or none yet, in a directory
    // that nobody else may write (see ChooseRecordsPlace).
    virtual Opening open(const std::string& path) = 0;

    // What a look at another learner's file found.
    enum class Reading {
        Ready,
        // Another program holds it (or uses it as a WAL database): a later
        // look may read it.
        Held,
        // A drill was cut off while it was written: kidrill mends the file
        // when it next opens it on its own computer.
        Unfinished,
        // No database, an empty one, or one of tables kidrill did not make.
        NotRecords,
        // A database of ours, damaged.
        Broken,
        // Made by a newer kidrill.
        Newer,
        // It cannot be opened at all: gone, no permission, no regular file.
        Unreadable,
    };
    // Opens a file to read only, as a teacher's look at a class does: the
    // file, its folder and a drill being written into it at that moment are
    // left as they are. Nothing is created beside it (no journal, no WAL or
    // SHM files), nothing in it changes (an older version is read by the
    // columns it has, never brought up to date), and each step holds it no
    // longer than its own read, waiting for another program's hold as long
    // as setLockWait says. Every write then fails.
    virtual Reading openToRead(const std::string& path) = 0;
    // Where a broken file went; empty when none did.
    virtual std::string setAside() const = 0;
    // Why the last step failed, in the database's words.
    virtual std::string lastError() const = 0;

    // What went wrong: Busy when another program held the file longer than
    // a step may wait (lockWait), Failed for anything else.
    enum class Trouble { None, Failed, Busy };
    // Of the last step.
    virtual Trouble trouble() const = 0;
    // The worst of the reads since the last call and within the last
    // second (those of a window that has just read the records), which the
    // window tells the learner about.
    virtual Trouble takeReadTrouble() = 0;
    // How long a step waits for another program to let go of the file;
    // RecordsLockWaitMs at first.
    virtual void setLockWait(int milliseconds) = 0;

    // One transaction: the drill and its keys and kana, or nothing.
    virtual bool record(const DrillRecord& drill) = 0;
    // The same, unless a drill of the same time, kind and counts is kept
    // already: a drill that waited may have been written just before the
    // program ended.
    virtual bool recordOnce(const DrillRecord& drill) = 0;

    // The drill kept last, of any kind.
    virtual std::optional<DrillSummary> lastDrill() = 0;
    // The drill kept last of a level (or lesson) and mode.
    virtual std::optional<DrillSummary> latest(int level, int mode, const std::string& lesson) = 0;
    // The drills of a level and mode by their time, oldest first; level and
    // mode 0 for all.
    virtual std::vector<DrillSummary> drills(int level, int mode) = 0;
    // The drills of the course's lessons, in the order kept.
    virtual std::vector<DrillSummary> lessonDrills() = 0;
    // Every drill kept since a UTC time, in the order kept.
    virtual std::vector<DrillSummary> drillsSince(const std::string& utc) = 0;
    // Each key and kana of every drill since a UTC time, the drill kept
    // last first.
    virtual std::vector<UnitDrillRow> unitsSince(const std::string& utc) = 0;
    // Totals since a UTC time, of every drill.
    virtual std::vector<UnitCount> keysSince(const std::string& utc) = 0;
    virtual std::vector<UnitCount> kanaSince(const std::string& utc) = 0;
    // Totals per local day of the drills since a UTC time, oldest first;
    // days without practice are absent.
    virtual std::vector<DayTotal> daysSince(const std::string& utc) = 0;
    // Every local day with practice, newest first.
    virtual std::vector<std::string> practiceDays() = 0;

    // The learner's name kept in the file, so that a copy elsewhere still
    // says whose it is; empty when it holds none.
    virtual std::string learnerName() = 0;
    // Keeps the name, replacing the one kept; false when it could not.
    virtual bool setLearnerName(const std::string& name) = 0;
};

// The records are read and written on the drill's own thread, so a step
// waits this long at most for another program's hold on the file (a
// teacher's sqlite3 in a transaction): a brief query's hold passes
// unnoticed, a long one costs the screen no freeze.
constexpr int RecordsLockWaitMs = 40;
// A look at another learner's file waits a little longer, so that a drill
// being committed there (its write reaching the disk) passes: that file is
// then read, not said to be held.
constexpr int OthersLockWaitMs = 200;

// The module's one entry point: a new store, owned by the caller.
extern "C" RecordStore* CreateRecordStore();
constexpr const char* RecordsModuleName = "kidrill_records";
constexpr const char* RecordsModuleEntry = "CreateRecordStore";

// The file beside the learner's settings.
constexpr const char* RecordsFileName = "records.sqlite";
