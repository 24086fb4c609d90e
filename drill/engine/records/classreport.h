#pragma once

#include "course/course.h"
#include "records/recordstore.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A teacher's look at a class: a row per learner's records file, each file
// read only (RecordStore::openToRead), with the week at a glance.

// A records file of the class, and what its row is named by when the file
// holds no learner's name.
struct ClassFile {
    std::string path;  // the file to read
    QString shown;     // where it is: its path under the folder, or on this computer
    QString learner;   // the learner's name on this computer, when it is one of theirs
    bool exists = true; // false: a learner of this computer who has no records yet
};

// One learner's records as the class reads them.
struct LearnerRecords {
    std::string name;                  // kept in the file
    std::optional<DrillSummary> last;  // the drill kept last
    std::vector<DrillSummary> recent;  // since the Monday of the week before this one
    std::vector<DrillSummary> lessons; // every drill of the course
    std::vector<UnitCount> keys;       // of the recent days (RecentDays)
    std::vector<UnitCount> kana;
};

// The keys or kana a row names as the weakest.
constexpr std::size_t ClassWeakestShown = 3;

struct ClassRow {
    ClassFile file;
    // What reading the file found; a file that failed part way is Held or
    // Broken.
    RecordStore::Reading reading = RecordStore::Reading::Ready;
    bool read() const { return file.exists && reading == RecordStore::Reading::Ready; }
    QString name; // kept in the file, else the learner's on this computer, else where the file is
    std::string lastPractice; // the time of the drill kept last (UTC); empty for none
    int weekDays = 0;         // this week, from Monday
    std::uint64_t weekMs = 0;
    std::size_t lesson = 0;   // the furthest lesson passed, 1-based in the course; 0 for none
    QString lessonTitle;
    int stars = 0;            // its stars
    // Of the drill kept last.
    std::optional<double> speed;    // keys per minute
    std::optional<double> accuracy; // %
    // Of all the drills of this week and of the week before, each together.
    std::optional<double> speedThisWeek, speedWeekBefore;
    std::optional<double> accuracyThisWeek, accuracyWeekBefore;
    std::vector<UnitCount> weakest; // keys and kana of the recent days, weakest first
};

// The drills the week figures need from a file: those since the Monday of
// the week before `today`'s (local midnight, as a record's time).
std::string ClassWeeksSince(const QDate& today);

// The figures of a row from what was read: pure, for any `today`.
ClassRow ClassRowOf(const ClassFile& file, const LearnerRecords& records, const Course& course, const QDate& today);

// The row of a file that could not be read (or is not there): its name
// and what was found.
ClassRow UnreadRow(const ClassFile& file, RecordStore::Reading reading);

using RecordStoreMaker = std::function<std::unique_ptr<RecordStore>()>;
// Reads one file through a store of its own, opened to read only and
// closed when its row is made; a file that fails part way is a row that
// says so.
ClassRow ReadClassRow(const ClassFile& file, const RecordStoreMaker& makeStore, const Course& course,
                      const QDate& today);
std::vector<ClassRow> ReadClass(const std::vector<ClassFile>& files, const RecordStoreMaker& makeStore,
                                const Course& course, const QDate& today);

// A store of the records module (loadablemodule.h); none, with the
// loader's reason in `error`, when the module cannot be loaded.
std::unique_ptr<RecordStore> ModuleRecordStore(std::string& error);

// The columns of the class, in the order shown and written.
enum class ClassColumn {
    Name,
    LastPractice,
    WeekDays,
    WeekMinutes,
    Lesson,
    Stars,
    Speed,
    SpeedChange,
    Accuracy,
    AccuracyChange,
    Weakest,
    State,
    File,
};
constexpr int ClassColumnCount = int(ClassColumn::File) + 1;

// A column's header as the window shows it, a line break where it may
// break; the CSV has a space there.
QString ClassHeader(ClassColumn column);
// What the column tells, for the header's tip.
QString ClassHeaderTip(ClassColumn column);
// A cell as the window shows it, and as the CSV writes it (plain numbers
// for a teacher's scripts). Empty where there is nothing to say.
QString ClassCellText(const ClassRow& row, ClassColumn column);
QString ClassCsvText(const ClassRow& row, ClassColumn column);
// Why a row's file was not read, in words; empty when it was.
QString ClassStateText(const ClassRow& row);

// Sorts by a column, stable; rows that have nothing in it come last either
// way, and rows alike keep their order.
void SortClass(std::vector<ClassRow>& rows, ClassColumn column, bool descending);

// The class as a spreadsheet reads it (csv.h): a header row, a row per file.
QByteArray ClassCsv(const std::vector<ClassRow>& rows);
