#pragma once

#include "learners/learnerindex.h"
#include "learners/learnerplace.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

// The learners of one data directory (UserDir): several children on one
// computer, each with their own settings, scores and records, under one
// desktop account. The household's files (wordu.txt, a teacher's course)
// stay one for all.
//
// Learner 1's files are the data directory's own kidrill.ini and
// records.sqlite, where they always were: a household with one learner has
// no index and nothing new on disk. Every other learner n has learners/n/.
// A directory is named by its number, never by a name.
class Household {
public:
    explicit Household(std::string dataDirectory);

    // Reads the index and looks at learners/; writes nothing. A broken index
    // costs its names: learner 1 is always there, and a learner's directory
    // that the index does not name comes back as "n ばんの 人".
    void load();

    const std::vector<Learner>& learners() const { return learners_; }
    const Learner* find(int number) const;
    // By a name as typed, trimmed and composed as names are kept.
    const Learner* find(const QString& name) const;
    // The learner chosen last: the chooser's first choice.
    int last() const { return last_; }
    // What was wrong with the index or a learner's directory, a line each.
    const QStringList& problems() const { return problems_; }
    const std::string& dataDirectory() const { return dataDirectory_; }

    struct Change {
        bool done = false;
        int number = 0;        // the learner added, renamed or found
        QString message;       // why not, in words a child reads; or where the files went
        std::string setAside;  // where a removed learner's files are now
    };
    Change add(const QString& typed);
    Change rename(int number, const QString& typed);
    // Moves the learner's files aside in learners/ under a dated name,
    // deleting nothing. The last learner cannot be removed.
    Change remove(int number, const QDate& today = QDate::currentDate());
    // `kidrill --learner NAME`: the learner of that name, made when there is
    // none. In a data directory that holds no learner's file yet, the name is
    // given to learner 1 rather than making a second one.
    Change named(const QString& typed);
    // Remembers the learner chosen, where an index is kept already.
    void choose(int number);

private:
    // 0, or the errno of the step that failed.
    int save(const std::vector<Learner>& learners, int last);
    Change cannotWriteIndex(int number, int error) const;
    // A path as the messages name it: from the data directory.
    QString shown(std::string path) const;
    int freeNumber() const;

    std::string dataDirectory_;
    std::vector<Learner> learners_;
    int last_ = 1;
    QStringList problems_;
    bool indexThere_ = false;
    bool indexFaulty_ = false; // kept aside before it is replaced
};

// Who practises once the chooser is closed: the learner chosen; with none
// chosen, the one who practised before when they are still there, else the
// first.
int LearnerAfterChoosing(const Household& household, std::optional<int> chosen, int current);

// The name learner 1 has until one is given.
constexpr const char* FirstLearnerName = "はじめの人";
