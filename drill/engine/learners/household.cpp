#include "learners/household.h"

#include "learners/learnername.h"
#include "records/recordstore.h"
#include "settings/settingsfile.h"
#include "textfile.h"
#include "userfiles.h"

#include <QDir>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

enum class Entry { Missing, Directory, Other };

// Never through a link: a learner's directory that is a link could lead a
// save out of the data directory.
Entry EntryAt(std::string path)
{
    // "link/" would be followed.
    while (path.size() > 1 && path.ends_with('/'))
        path.pop_back();
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return errno == ENOENT ? Entry::Missing : Entry::Other;
    return S_ISDIR(info.st_mode) ? Entry::Directory : Entry::Other;
}

// The number a directory of learners/ is named by, or that a set-aside
// one begins with ("7.removed-…"); 0 for anything else.
int LeadingNumber(const QString& name, bool whole)
{
    qsizetype digits = 0;
    while (digits < name.size() && digits < 5 && name[digits] >= u'0' && name[digits] <= u'9')
        ++digits;
    if (digits == 0 || digits > 4 || name[0] == u'0' || (whole && digits != name.size()))
        return 0;
    return name.left(digits).toInt();
}

QStringList FolderEntries(const std::string& folder)
{
    return QDir(QString::fromStdString(folder))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Learner 1's own files in the data directory: the settings, and the
// records with their journal and any copy set aside as broken.
bool IsLearnersOwnFile(const QString& name)
{
    return name == QLatin1String(SettingsFileName) || name.startsWith(QLatin1String(RecordsFileName));
}

// A name not taken yet in the data directory: base, base-2, base-3 …
std::string FreeName(const std::string& base)
{
    std::string name = base;
    for (int n = 2; EntryAt(name) != Entry::Missing && n < 1000; ++n)
        name = base + '-' + std::to_string(n);
    return name;
}

QString Why(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool Rename(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}

} // namespace

Household::Household(std::string dataDirectory) : dataDirectory_(std::move(dataDirectory)) {}

QString Household::shown(std::string path) const
{
    if (path.starts_with(dataDirectory_))
        path.erase(0, dataDirectory_.size());
    if (path.size() > 1 && path.ends_with('/'))
        path.pop_back();
    return QString::fromStdString(path);
}

const Learner* Household::find(int number) const
{
    const auto at = std::find_if(learners_.begin(), learners_.end(), [&](const Learner& l) { return l.number == number; });
    return at == learners_.end() ? nullptr : &*at;
}

const Learner* Household::find(const QString& name) const
{
    const QString kept = CheckLearnerName(name).name;
    const auto at = std::find_if(learners_.begin(), learners_.end(), [&](const Learner& l) { return l.name == kept; });
    return at == learners_.end() ? nullptr : &*at;
}

void Household::load()
{
    learners_.clear();
    problems_.clear();
    last_ = 0;
    indexThere_ = indexFaulty_ = false;
    const std::string folder = LearnersFolder(dataDirectory_);
    const Entry folderEntry = EntryAt(folder);
    if (folderEntry == Entry::Other)
        problems_ << QStringLiteral("%1 が フォルダでは ないので、一人だけに なります").arg(shown(folder));
    if (folderEntry == Entry::Directory) {
        // One byte more than an index may hold tells a file that is too large.
        const FileBytes file = ReadFileBytes(LearnerIndexPath(dataDirectory_), LearnerIndexBytes + 1);
        indexThere_ = file.status != FileStatus::CannotOpen || FileExists(LearnerIndexPath(dataDirectory_));
        if (indexThere_) {
            const bool read = file.status == FileStatus::Ok || file.status == FileStatus::TooLarge;
            const LearnerIndex index = read ? ParseLearnerIndex(file.bytes)
                                            : LearnerIndex {{}, 0, {QStringLiteral("index.txt を 読めません")}};
            indexFaulty_ = !index.problems.isEmpty();
            problems_ << index.problems;
            last_ = index.last;
            for (const Learner& learner : index.learners) {
                if (learner.number != 1 && EntryAt(LearnerDirectory(dataDirectory_, learner.number)) == Entry::Other) {
                    problems_ << QStringLiteral("%1 が フォルダでは ないので、「%2」を 入れません")
                                     .arg(shown(LearnerDirectory(dataDirectory_, learner.number)), learner.name);
                    continue;
                }
                learners_.push_back(learner);
            }
        }
        // A learner's directory that the index does not name (a broken index,
        // a line lost) keeps its learner, under a name of its number.
        std::vector<int> unnamed;
        for (const QString& entry : FolderEntries(folder)) {
            const int number = LeadingNumber(entry, true);
            if (number >= 2 && !find(number) && EntryAt(LearnerDirectory(dataDirectory_, number)) == Entry::Directory)
                unnamed.push_back(number);
        }
        std::sort(unnamed.begin(), unnamed.end());
        for (const int number : unnamed) {
            if (learners_.size() == LearnerCapacity)
                break;
            const QString base = QStringLiteral("%1ばんの 人").arg(number);
            QString name = base;
            for (int n = 2; find(name); ++n)
                name = base + QString::number(n);
            problems_ << QStringLiteral("%1 は 名前の 一らんに ないので、「%2」に しました")
                             .arg(shown(LearnerDirectory(dataDirectory_, number)), name);
            learners_.push_back({number, name});
        }
    }
    // Learner 1 is there unless a sound index leaves them out (removed).
    if (!find(1) && (!indexThere_ || indexFaulty_ || learners_.empty()))
        learners_.insert(learners_.begin(), {1, QString::fromUtf8(FirstLearnerName)});
    if (!find(last_))
        last_ = learners_.front().number;
}

int Household::freeNumber() const
{
    // Never a number that a directory has or had, set aside or not.
    int largest = 1;
    for (const Learner& learner : learners_)
        largest = std::max(largest, learner.number);
    for (const QString& entry : FolderEntries(LearnersFolder(dataDirectory_)))
        largest = std::max(largest, LeadingNumber(entry, false));
    return largest < LargestLearnerNumber ? largest + 1 : 0;
}

int Household::save(const std::vector<Learner>& learners, int last)
{
    const std::string path = LearnerIndexPath(dataDirectory_);
    // The parent's own lines of a faulty index are kept, not written over.
    if (indexFaulty_ && FileExists(path)
        && !Rename(path, FreeName(path + ".broken-" + QDate::currentDate().toString(Qt::ISODate).toStdString())))
        return errno;
    if (const WriteOutcome written = WriteUserFile(path, LearnerIndexText(learners, last)); !written)
        return written.error;
    indexThere_ = true;
    indexFaulty_ = false;
    return 0;
}

Household::Change Household::cannotWriteIndex(int number, int error) const
{
    return {false, number,
            QStringLiteral("%1 に 書きこめません（%2）").arg(shown(LearnerIndexPath(dataDirectory_)), Why(error)),
            {}};
}

Household::Change Household::add(const QString& typed)
{
    const NameCheck name = CheckLearnerName(typed);
    if (!name)
        return {false, 0, NameFaultText(name.fault), {}};
    if (find(name.name))
        return {false, 0, QStringLiteral("「%1」は もう います").arg(name.name), {}};
    if (learners_.size() >= LearnerCapacity)
        return {false, 0, QStringLiteral("%1人より 多くは ふやせません").arg(LearnerCapacity), {}};
    const std::string folder = LearnersFolder(dataDirectory_);
    if (EntryAt(folder) == Entry::Other)
        return {false, 0, QStringLiteral("%1 が フォルダでは ありません").arg(shown(folder)), {}};
    if (const int error = CreateDirectories(folder))
        return {false, 0, QStringLiteral("%1 を 作れません（%2）").arg(shown(folder), Why(error)), {}};
    // A directory of its own, made here and now: never one that is there.
    int number = freeNumber();
    std::string directory;
    for (; number > 0 && number <= LargestLearnerNumber; ++number) {
        directory = LearnerDirectory(dataDirectory_, number);
        if (::mkdir(directory.c_str(), 0700) == 0)
            break;
        if (errno != EEXIST)
            return {false, 0, QStringLiteral("%1 を 作れません（%2）").arg(shown(directory), Why(errno)), {}};
    }
    if (number <= 0 || number > LargestLearnerNumber)
        return {false, 0, QStringLiteral("これより 多くは ふやせません"), {}};
    std::vector<Learner> learners = learners_;
    learners.push_back({number, name.name});
    if (const int error = save(learners, last_)) {
        ::rmdir(directory.c_str());
        return cannotWriteIndex(0, error);
    }
    learners_ = std::move(learners);
    return {true, number, {}, {}};
}

Household::Change Household::rename(int number, const QString& typed)
{
    const NameCheck name = CheckLearnerName(typed);
    if (!name)
        return {false, number, NameFaultText(name.fault), {}};
    if (!find(number))
        return {false, number, QStringLiteral("その 人は いません"), {}};
    if (const Learner* same = find(name.name))
        return {same->number == number, number, same->number == number ? QString() : QStringLiteral("「%1」は もう います").arg(name.name), {}};
    std::vector<Learner> learners = learners_;
    for (Learner& learner : learners)
        if (learner.number == number)
            learner.name = name.name;
    if (const int error = save(learners, last_))
        return cannotWriteIndex(number, error);
    learners_ = std::move(learners);
    return {true, number, {}, {}};
}

Household::Change Household::remove(int number, const QDate& today)
{
    if (!find(number))
        return {false, number, QStringLiteral("その 人は いません"), {}};
    if (learners_.size() < 2)
        return {false, number, QStringLiteral("さいごの 一人は けせません"), {}};
    const std::string folder = LearnersFolder(dataDirectory_);
    const std::string aside = FreeName(folder + '/' + std::to_string(number) + ".removed-"
                                       + today.toString(Qt::ISODate).toStdString());
    const auto cannot = [&](const std::string& path, int error) {
        return Change {false, number, QStringLiteral("%1 を うつせません（%2）").arg(shown(path), Why(error)), {}};
    };
    // What was moved, to be put back when the index cannot be written.
    std::vector<std::pair<std::string, std::string>> moved;
    const auto putBack = [&] {
        for (auto m = moved.rbegin(); m != moved.rend(); ++m)
            Rename(m->second, m->first);
    };
    if (number == 1) {
        if (const int error = CreateDirectories(aside))
            return cannot(aside, error);
        for (const QString& entry : FolderEntries(dataDirectory_)) {
            if (!IsLearnersOwnFile(entry))
                continue;
            const std::string from = dataDirectory_ + entry.toStdString();
            const std::string to = aside + '/' + entry.toStdString();
            if (!Rename(from, to)) {
                const int error = errno;
                putBack();
                ::rmdir(aside.c_str());
                return cannot(from, error);
            }
            moved.emplace_back(from, to);
        }
        if (moved.empty())
            ::rmdir(aside.c_str());
    } else {
        std::string directory = LearnerDirectory(dataDirectory_, number);
        directory.pop_back();
        if (EntryAt(directory) != Entry::Missing) {
            if (!Rename(directory, aside))
                return cannot(directory, errno);
            moved.emplace_back(directory, aside);
        }
    }
    std::vector<Learner> learners;
    std::copy_if(learners_.begin(), learners_.end(), std::back_inserter(learners),
                 [&](const Learner& l) { return l.number != number; });
    const int last = last_ == number ? learners.front().number : last_;
    if (const int error = save(learners, last)) {
        putBack();
        if (number == 1)
            ::rmdir(aside.c_str());
        return cannotWriteIndex(number, error);
    }
    learners_ = std::move(learners);
    last_ = last;
    return {true, number, {}, moved.empty() ? std::string() : aside + '/'};
}

Household::Change Household::named(const QString& typed)
{
    const NameCheck name = CheckLearnerName(typed);
    if (!name)
        return {false, 0, NameFaultText(name.fault), {}};
    if (const Learner* learner = find(name.name))
        return {true, learner->number, {}, {}};
    const QStringList files = FolderEntries(dataDirectory_);
    const bool nothingYet = !indexThere_ && learners_.size() == 1 && learners_.front().number == 1
        && std::none_of(files.begin(), files.end(), IsLearnersOwnFile);
    return nothingYet ? rename(1, name.name) : add(name.name);
}

void Household::choose(int number)
{
    if (!find(number) || number == last_)
        return;
    last_ = number;
    if (indexThere_)
        save(learners_, last_);
}

int LearnerAfterChoosing(const Household& household, std::optional<int> chosen, int current)
{
    if (chosen && household.find(*chosen))
        return *chosen;
    return household.find(current) ? current : household.learners().front().number;
}
