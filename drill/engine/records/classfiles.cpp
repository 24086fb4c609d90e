#include "records/classfiles.h"

#include "learners/household.h"
#include "learners/learnerplace.h"
#include "records/recordsplace.h"
#include "userfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <map>
#include <set>
#include <sys/stat.h>

namespace {

// The file a path names, links resolved; empty when there is none.
QString CanonicalFile(const std::string& path)
{
    return QFileInfo(QString::fromStdString(path)).canonicalFilePath();
}

// Whether the folder can be listed, and why not.
std::string CannotList(const QString& folder)
{
    DIR* listing = ::opendir(QFile::encodeName(folder).constData());
    if (!listing)
        return std::strerror(errno);
    ::closedir(listing);
    return {};
}

class FolderWalk {
public:
    FolderWalk(const QString& root, FolderSearch& search)
        : root_(root), inside_(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/')), search_(search)
    {
    }

    void walk(const QString& directory, int depth)
    {
        // A directory's entries in name order, so that the files found
        // within the bounds are the same every time.
        std::vector<QFileInfo> entries;
        QDirIterator it(directory, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
        while (it.hasNext()) {
            if (++looked_ > ClassFolderEntriesLimit) {
                search_.cut = true;
                break;
            }
            entries.push_back(it.nextFileInfo());
        }
        std::sort(entries.begin(), entries.end(),
                  [](const QFileInfo& a, const QFileInfo& b) { return a.fileName() < b.fileName(); });
        for (const QFileInfo& entry : entries) {
            if (full_)
                return;
            if (entry.isSymLink())
                take(entry, entry.canonicalFilePath());
            else if (entry.isDir()) {
                if (depth < ClassFolderDepth)
                    walk(entry.filePath(), depth + 1);
                else
                    search_.cut = true;
            } else if (entry.isFile())
                take(entry, entry.canonicalFilePath());
        }
    }

private:
    // A file found: one of ours by its name, inside the folder (a link may
    // point anywhere), met for the first time.
    void take(const QFileInfo& entry, const QString& file)
    {
        if (!IsRecordsFileName(entry.fileName()) || file.isEmpty() || !QFileInfo(file).isFile()
            || !file.startsWith(inside_) || !seen_.insert(file).second)
            return;
        if (search_.files.size() == ClassFilesLimit) {
            search_.cut = full_ = true;
            return;
        }
        ClassFile found;
        found.path = file.toStdString();
        found.shown = QDir(root_).relativeFilePath(entry.absoluteFilePath());
        search_.files.push_back(found);
    }

    QString root_;
    QString inside_; // what the paths inside the folder begin with
    FolderSearch& search_;
    std::size_t looked_ = 0;
    bool full_ = false;
    std::set<QString> seen_;
};

} // namespace

bool IsRecordsFileName(const QString& name)
{
    return name.size() > 7 && name.endsWith(QLatin1String(".sqlite"), Qt::CaseInsensitive);
}

FolderSearch FindRecordFiles(const std::string& folder)
{
    FolderSearch search;
    const QString root = QFileInfo(QString::fromStdString(folder)).canonicalFilePath();
    if (root.isEmpty() || !QFileInfo(root).isDir()) {
        search.readable = false;
        search.error = root.isEmpty() ? std::strerror(ENOENT) : std::strerror(ENOTDIR);
        return search;
    }
    if (const std::string why = CannotList(root); !why.empty()) {
        search.readable = false;
        search.error = why;
        return search;
    }
    FolderWalk(root, search).walk(root, 0);
    std::sort(search.files.begin(), search.files.end(),
              [](const ClassFile& a, const ClassFile& b) { return a.shown < b.shown; });
    return search;
}

std::vector<ClassFile> HouseholdRecordFiles(const Household& household, const std::string& ownDataDirectory)
{
    std::vector<ClassFile> files;
    for (const Learner& learner : household.learners()) {
        const std::string own =
            ownDataDirectory.empty() ? std::string() : LearnerDirectory(ownDataDirectory, learner.number);
        ClassFile file;
        file.path = RecordsDirectory(LearnerDirectory(household.dataDirectory(), learner.number), own) + RecordsFileName;
        file.shown = QString::fromStdString(file.path);
        file.learner = learner.name;
        struct stat info {};
        file.exists = ::lstat(file.path.c_str(), &info) == 0;
        files.push_back(file);
    }
    return files;
}

std::vector<ClassFile> JoinClassFiles(std::vector<ClassFile> household, const std::vector<ClassFile>& folder)
{
    std::set<QString> theirs;
    for (const ClassFile& file : household)
        if (const QString canonical = CanonicalFile(file.path); !canonical.isEmpty())
            theirs.insert(canonical);
    for (const ClassFile& file : folder)
        if (!theirs.count(CanonicalFile(file.path)))
            household.push_back(file);
    return household;
}

ClassReportAnswer ClassReport(const std::string& folder, const std::string& dataDirectory,
                              const RecordStoreMaker& makeStore, const Course& course, const QDate& today)
{
    ClassReportAnswer answer;
    FolderSearch search = FindRecordFiles(folder);
    if (!search.readable) {
        answer.err = "kidrill: cannot read the folder " + folder + ": " + search.error + '\n';
        answer.status = 1;
        return answer;
    }
    // A file of this computer's learners is named as they are here.
    Household household(dataDirectory);
    household.load();
    std::map<QString, QString> names;
    for (const ClassFile& file : HouseholdRecordFiles(household, OwnDataDirectory()))
        if (const QString canonical = CanonicalFile(file.path); !canonical.isEmpty())
            names[canonical] = file.learner;
    for (ClassFile& file : search.files)
        if (const auto name = names.find(CanonicalFile(file.path)); name != names.end())
            file.learner = name->second;
    answer.out = ClassCsv(ReadClass(search.files, makeStore, course, today)).toStdString();
    if (search.cut)
        answer.err = "kidrill: " + folder + " holds more than was looked at: the first "
            + std::to_string(search.files.size()) + " records files found within " + std::to_string(ClassFolderDepth)
            + " folders' depth were read\n";
    return answer;
}
