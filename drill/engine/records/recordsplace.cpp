#include "records/recordsplace.h"

#include "records/recordstore.h"
#include "textfile.h"

#include <QDate>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Records of more than this are no learner's (ten years of drills are some
// 35 MB): they are not read into memory to be moved.
constexpr std::size_t LargestMovedRecords = std::size_t(512) << 20;

bool IsOwnFile(const struct stat& info)
{
    return S_ISREG(info.st_mode) && info.st_uid == ::geteuid();
}

// 0 when `path` is absent, 1 when it is a regular file of this user's, -1
// otherwise (a link, another user's file, a directory...).
int OwnFileOrNone(const std::string& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return errno == ENOENT ? 0 : -1;
    return IsOwnFile(info) ? 1 : -1;
}

std::string DirectoryOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : path.substr(0, slash);
}

// The bytes of a regular file of this user's, never through a link: the
// shared directory's entries may change between a look and a read.
int ReadOwnFile(const std::string& path, std::string& bytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat info {};
    int error = 0;
    if (::fstat(fd, &info) != 0)
        error = errno;
    else if (!IsOwnFile(info))
        error = EPERM;
    else if (std::size_t(info.st_size) > LargestMovedRecords)
        error = EFBIG;
    if (error == 0) {
        bytes.clear();
        char buffer[1 << 16];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n == 0)
                break;
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 || bytes.size() + std::size_t(n) > LargestMovedRecords) {
                error = n < 0 ? errno : EFBIG;
                break;
            }
            bytes.append(buffer, std::size_t(n));
        }
    }
    ::close(fd);
    return error;
}

// Moves the learner's records out of the shared directory: copies the
// file, and the companions that are the learner's (a hot journal of the
// learner's own goes with it; one that another user put there stays), then
// renames the shared copies aside, never deleting them. Another user's
// file of that name is none of the learner's and is left alone.
void MoveOwnRecords(const std::string& from, const std::string& to, RecordsPlace& place)
{
    if (OwnFileOrNone(from) != 1)
        return;
    std::vector<std::string> moved;
    std::string bytes;
    const auto copy = [&](const std::string& source, const std::string& target) {
        int error = ReadOwnFile(source, bytes);
        if (error == 0)
            error = WriteFileAtomically(target, bytes).error;
        if (error != 0) {
            place.error = error;
            place.failedPath = source;
        }
        return error == 0;
    };
    // The companions first: a journal must be there when the file is.
    for (const char* suffix : CompanionSuffixes)
        if (OwnFileOrNone(from + suffix) == 1) {
            if (!copy(from + suffix, to + suffix))
                break;
            moved.push_back(suffix);
        }
    if (place.error != 0 || !copy(from, to)) {
        for (const std::string& suffix : moved)
            ::unlink((to + suffix).c_str());
        return;
    }
    place.movedFrom = from;
    const std::string base = from + ".moved-" + QDate::currentDate().toString(Qt::ISODate).toStdString();
    std::string aside = base;
    struct stat info {};
    for (int n = 2; ::lstat(aside.c_str(), &info) == 0 && n < 1000; ++n)
        aside = base + "-" + std::to_string(n);
    if (::lstat(aside.c_str(), &info) == 0 || ::rename(from.c_str(), aside.c_str()) != 0)
        return;
    place.movedAside = aside;
    for (const std::string& suffix : moved)
        ::rename((from + suffix).c_str(), (aside + suffix).c_str());
}

} // namespace

std::string RecordsDirectory(const std::string& userDir, const std::string& ownDir)
{
    const std::string settings = userDir.empty() ? std::string("./") : userDir;
    return OnlyThisUserWrites(settings) ? settings : ownDir;
}

RecordsPlace ChooseRecordsPlace(const std::string& userDir, const std::string& ownDir)
{
    RecordsPlace place;
    const std::string settings = userDir.empty() ? std::string("./") : userDir;
    place.directory = RecordsDirectory(userDir, ownDir);
    const bool shared = place.directory != settings;
    if (shared && !place.directory.empty())
        if (const int error = CreateDirectories(place.directory)) {
            place.error = error;
            place.failedPath = place.directory;
            return place;
        }
    if (place.directory.empty() || !OnlyThisUserWrites(place.directory)) {
        place.refused = place.directory.empty() ? settings : place.directory;
        place.refusedDirectory = true;
        return place;
    }
    std::string file = place.directory + RecordsFileName;
    struct stat info {};
    if (shared && ::lstat(file.c_str(), &info) != 0 && errno == ENOENT) {
        MoveOwnRecords(settings + RecordsFileName, file, place);
        if (place.error != 0)
            return place;
    }
    if (::lstat(file.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        // The learner's own link (nobody else may write here): followed to
        // a file of the learner's where nobody else may write either, for
        // SQLite keeps its journal beside that file.
        char target[PATH_MAX] {};
        if (!::realpath(file.c_str(), target) || !OnlyThisUserWrites(DirectoryOf(target))
            || OwnFileOrNone(target) != 1) {
            place.refused = file;
            return place;
        }
        file = target;
    }
    std::vector<std::string> mustBeOwn {file};
    for (const char* suffix : CompanionSuffixes)
        mustBeOwn.push_back(file + suffix);
    for (const std::string& path : mustBeOwn)
        if (OwnFileOrNone(path) < 0) {
            place.refused = path;
            return place;
        }
    place.file = file;
    return place;
}
