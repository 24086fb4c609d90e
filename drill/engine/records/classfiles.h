#pragma once

#include "records/classreport.h"

#include <QDate>

#include <cstddef>
#include <string>
#include <vector>

class Household;

// Where a class's records files are: the learners of this computer, and
// the files a teacher gathered in a folder (from the pupils' computers, on
// a USB stick or a shared drive). Looking for them reads directories only.

// A records file in a folder is one whose name ends in ".sqlite" (in any
// case): "records.sqlite" as the drill keeps it, or renamed after its
// learner ("たろう.sqlite").
bool IsRecordsFileName(const QString& name);

// A folder is searched this deep below itself, for this many files at
// most, looking at this many entries at most: a folder chosen by mistake
// (a home, a whole drive) costs a moment, not minutes.
constexpr int ClassFolderDepth = 8;
constexpr std::size_t ClassFilesLimit = 200;
constexpr std::size_t ClassFolderEntriesLimit = 20000;

struct FolderSearch {
    bool readable = true; // false: the folder itself cannot be listed (`error` says why)
    std::string error;
    std::vector<ClassFile> files; // by their path under the folder
    bool cut = false;             // a bound was met: there may be more
};

// Every records file under `folder`, named by its path there. A link is
// followed only to a file inside the folder, never to a directory; a file
// met twice (through a link) is one.
FolderSearch FindRecordFiles(const std::string& folder);

// Every learner of this computer: where their records are (see
// RecordsDirectory), there or not yet. `ownDataDirectory` is
// OwnDataDirectory().
std::vector<ClassFile> HouseholdRecordFiles(const Household& household, const std::string& ownDataDirectory);

// The files of both, this computer's learners first; a file of theirs that
// is also in the folder is theirs, once.
std::vector<ClassFile> JoinClassFiles(std::vector<ClassFile> household, const std::vector<ClassFile>& folder);

// `kidrill --class-report DIR`: the CSV of every records file under DIR
// (named by this computer's learners where they are theirs), what went
// wrong on stderr, and the exit status: not 0 only when DIR cannot be read
// or no file can be read at all (the records module is missing).
struct ClassReportAnswer {
    std::string out;
    std::string err;
    int status = 0;
};
ClassReportAnswer ClassReport(const std::string& folder, const std::string& dataDirectory,
                              const RecordStoreMaker& makeStore, const Course& course, const QDate& today);
