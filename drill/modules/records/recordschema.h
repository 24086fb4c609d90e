#pragma once

#include <array>
#include <iterator>

// The schema of records.sqlite. A file's version is read from its columns
// (a backup restored with the sqlite3 tool has PRAGMA user_version 0) and
// written to PRAGMA user_version; a file of an older version is brought up
// to date step by step, in one transaction, and keeps every row. A step is
// never changed once shipped: a later schema is a new step.
struct SchemaStep {
    int toVersion;
    std::array<const char*, 8> statements; // unused ones null
};

inline constexpr SchemaStep RecordsSchemaSteps[] = {
    {1,
     {
         // One row per finished drill. finished_at is UTC, ISO 8601
         // ("2026-12-09T18:10:38Z"), so that text order is time order.
         "CREATE TABLE drills ("
         " id INTEGER PRIMARY KEY,"
         " finished_at TEXT NOT NULL,"
         " level INTEGER NOT NULL,"
         " mode INTEGER NOT NULL,"
         " hits INTEGER NOT NULL,"
         " misses INTEGER NOT NULL,"
         " elapsed_ms INTEGER NOT NULL,"
         " score INTEGER NOT NULL)",
         "CREATE INDEX drills_by_time ON drills (finished_at)",
         "CREATE INDEX drills_by_kind ON drills (level, mode, finished_at)",
         // Each key of a drill: the character, its hits, and the misses
         // charged to it as the key that was due.
         "CREATE TABLE drill_keys ("
         " drill_id INTEGER NOT NULL REFERENCES drills (id) ON DELETE CASCADE,"
         " key TEXT NOT NULL,"
         " hits INTEGER NOT NULL,"
         " misses INTEGER NOT NULL,"
         " PRIMARY KEY (drill_id, key)) WITHOUT ROWID",
         // Each kana (or contracted sound, or small tsu) of a drill: the
         // hits and misses of the keys that type it.
         "CREATE TABLE drill_kana ("
         " drill_id INTEGER NOT NULL REFERENCES drills (id) ON DELETE CASCADE,"
         " kana TEXT NOT NULL,"
         " hits INTEGER NOT NULL,"
         " misses INTEGER NOT NULL,"
         " PRIMARY KEY (drill_id, kana)) WITHOUT ROWID",
     }},
    {2,
     {
         // The course: a drill of a lesson names its file (or the weak
         // lesson, "にがて"); a level's drill has none.
         "ALTER TABLE drills ADD COLUMN lesson TEXT",
         "CREATE INDEX drills_by_lesson ON drills (lesson, finished_at)",
     }},
    {3,
     {
         // A lesson's drill keeps the goal it was played against and the
         // stars it earned there, so that a pass stays a pass when a
         // teacher raises the goal. Older rows have neither.
         "ALTER TABLE drills ADD COLUMN goal INTEGER",
         "ALTER TABLE drills ADD COLUMN stars INTEGER",
         // The drill before is the one kept before, whatever the clock
         // said: each entry of an index ends in its row's id.
         "CREATE INDEX drills_by_kind_as_kept ON drills (level, mode, lesson)",
     }},
    {4,
     {
         // Whose records these are: a file copied to a teacher's folder
         // still says so. One row at most; none until a learner has a name.
         "CREATE TABLE learner ("
         " id INTEGER PRIMARY KEY CHECK (id = 1),"
         " name TEXT NOT NULL)",
     }},
};

inline constexpr int RecordsSchemaVersion = RecordsSchemaSteps[std::size(RecordsSchemaSteps) - 1].toVersion;
