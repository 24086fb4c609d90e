#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>
#include <vector>

// The index of the learners of a data directory, "learners/index.txt": the
// one place that ties a learner's name to the number of their directory.
// UTF-8, a line each (CR LF written, LF or CR LF read):
//
//     ; a comment
//     last=2
//     1=たろう
//     2=はなこ
//
// "n=name" is learner n, whose files lie in the data directory itself for
// n = 1 and in learners/n/ otherwise; "last=n" is the learner chosen last.
// Empty lines and lines that start with ";" are skipped.

struct Learner {
    int number = 0; // 1 to LargestLearnerNumber
    QString name;   // a valid name (learnername.h)
};

constexpr int LargestLearnerNumber = 9999;
// A class and then some; more are left out of the list.
constexpr std::size_t LearnerCapacity = 100;
// Far above what LearnerCapacity names take.
constexpr std::size_t LearnerIndexBytes = 64 * 1024;

struct LearnerIndex {
    std::vector<Learner> learners; // in the file's order
    int last = 0;                  // 0: none given, or none of the list
    // What was wrong, a line each: "index.txt 3 行目: …". A file that is
    // not an index at all (too large, not UTF-8, a NUL byte) gives no
    // learners and one problem.
    QStringList problems;
};

// Never fails: a line that is not a learner is left out and named. A
// number or a name met twice keeps its first line.
LearnerIndex ParseLearnerIndex(std::string_view bytes);

std::string LearnerIndexText(const std::vector<Learner>& learners, int last);
