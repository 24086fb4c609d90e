#pragma once

#include <string>

// Where a learner's own files lie in a data directory (ending in '/'), by
// the learner's number, never by a name: learner 1's are the data
// directory's own kidrill.ini and records.sqlite, where they always were;
// learner n's lie in learners/n/. Both end in '/'.
std::string LearnerDirectory(const std::string& dataDirectory, int number);

// The folder of every learner but learner 1, and of the index, without
// the ending '/'.
std::string LearnersFolder(const std::string& dataDirectory);

// The index of the learners' names and numbers (learnerindex.h).
std::string LearnerIndexPath(const std::string& dataDirectory);
