#include "textfile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char EndOfFileByte = 0x1A;

bool WriteAllAt(int fd, std::string_view bytes, std::size_t offset)
{
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += static_cast<std::size_t>(n);
    }
    return true;
}

std::string DirectoryOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

constexpr std::string_view TemporaryInfix = ".kidrill-save.";
constexpr std::size_t TemporaryRandomChars = 6; // mkstemp's Xs

// A user private group: the group named after this user, this user's own,
// with no other member, as Debian gives every user (whose umask then lets
// the group write).
bool IsPrivateGroup(gid_t gid)
{
    const passwd* user = ::getpwuid(::geteuid());
    if (!user || user->pw_gid != gid)
        return false;
    const std::string name = user->pw_name;
    const group* own = ::getgrgid(gid);
    if (!own || name != own->gr_name)
        return false;
    for (char** member = own->gr_mem; *member; ++member)
        if (name != *member)
            return false;
    return true;
}

// Follows `path` through its symbolic links to the file a save must
// replace, which need not exist yet. Returns 0 or an errno. A link is
// followed only where the kernel's protected_symlinks rule would follow it:
// another user may plant one in a shared directory, pointing at a file of
// this user's.
int ResolveLinks(const std::string& path, std::string& target)
{
    target = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0)
            return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(info.st_mode))
            return 0;
        if (info.st_uid != ::geteuid() && !OnlyThisUserWrites(DirectoryOf(target)))
            return EACCES;
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n < 0)
            return errno;
        if (static_cast<std::size_t>(n) >= link.size())
            return ENAMETOOLONG;
        link.resize(static_cast<std::size_t>(n));
        target = link.starts_with('/') ? link : DirectoryOf(target) + '/' + link;
    }
    return ELOOP;
}

bool IsLeftoverTemporary(std::string_view entry, std::string_view name)
{
    const std::string prefix = "." + std::string(name) + std::string(TemporaryInfix);
    if (entry.size() != prefix.size() + TemporaryRandomChars || !entry.starts_with(prefix))
        return false;
    for (const char c : entry.substr(prefix.size()))
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}

// A killed save leaves its temporary file; only this user's regular files of
// exactly the temporary pattern are taken for such leftovers.
void RemoveLeftoverTemporaries(const std::string& directory, std::string_view name)
{
    DIR* dir = ::opendir(directory.c_str());
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsLeftoverTemporary(entry->d_name, name))
            continue;
        struct stat info {};
        if (::fstatat(dirFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode)
            && info.st_uid == ::geteuid())
            ::unlinkat(dirFd, entry->d_name, 0);
    }
    ::closedir(dir);
}

// The mode a replaced file keeps; a write would clear the set-id bits.
mode_t KeptMode(const struct stat& old)
{
    return old.st_mode & 07777 & ~mode_t(S_ISUID | S_ISGID);
}

// Gives the new file the old one's owner, group and mode; false when this
// user cannot (another user's file).
bool TakeOver(int fd, const struct stat& old)
{
    struct stat now {};
    if (::fstat(fd, &now) != 0)
        return false;
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    return ::fchmod(fd, KeptMode(old)) == 0;
}

// Rewrites a file where it stands, so that its owner, group, mode and links
// stay. What the new bytes hold beyond the old size is written first, past
// the old end: a full disk or a size limit then fails before any old byte is
// touched, on any file system, and the file is cut back to its old size.
// Overwriting the old bytes afterwards needs no more room.
WriteOutcome RewriteInPlace(const std::string& path, const struct stat& old, std::string_view bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {errno};
    struct stat info {};
    if (::fstat(fd, &info) != 0 || info.st_dev != old.st_dev || info.st_ino != old.st_ino) {
        ::close(fd);
        return {EAGAIN}; // replaced meanwhile
    }
    const auto oldSize = static_cast<std::size_t>(info.st_size);
    int error = 0;
    if (bytes.size() > oldSize && !WriteAllAt(fd, bytes.substr(oldSize), oldSize)) {
        error = errno;
        // Back to the old size; should even that fail, the old bytes stand.
        [[maybe_unused]] const int cut = ::ftruncate(fd, info.st_size);
    } else if (!WriteAllAt(fd, bytes.substr(0, oldSize), 0) || ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0
               || ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return {error};
}

} // namespace

std::string_view TrimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

LineReader::LineReader(std::string_view bytes, LineRules rules) : bytes_(bytes), rules_(rules) {}

bool LineReader::atEnd() const
{
    return pos_ >= bytes_.size() || (rules_ == LineRules::DataFile && bytes_[pos_] == EndOfFileByte);
}

std::string_view LineReader::readLine()
{
    const auto endsLine = [this](char c) { return c == '\r' || (c == '\n' && rules_ == LineRules::Profile); };
    const std::size_t start = pos_;
    while (!atEnd() && !endsLine(bytes_[pos_]))
        ++pos_;
    const std::string_view line = bytes_.substr(start, pos_ - start);
    if (!atEnd() && bytes_[pos_++] == '\r' && pos_ < bytes_.size() && bytes_[pos_] == '\n')
        ++pos_;
    return line;
}

FileBytes ReadFileBytes(const std::string& path, std::size_t limit)
{
    FileBytes result;
    // Not blocking: a pipe in a file's place must not hang the program.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        result.status = FileStatus::CannotOpen;
        return result;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        // A directory, pipe or device is no file to read (a device such as
        // /dev/zero would never end).
        result.status = FileStatus::CannotOpen;
        return result;
    }
    // One byte more than the limit tells a file that is too large.
    result.bytes.resize(std::min<std::size_t>(limit + 1, std::max<off_t>(info.st_size, 0) + 1));
    std::size_t filled = 0;
    for (;;) {
        if (filled == result.bytes.size()) {
            if (filled > limit)
                break;
            result.bytes.resize(std::min(limit + 1, 2 * filled));
        }
        const ssize_t n = ::read(fd, result.bytes.data() + filled, result.bytes.size() - filled);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            result.status = FileStatus::ReadError;
            filled = 0;
            break;
        }
        filled += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (filled > limit) {
        result.status = FileStatus::TooLarge;
        filled = limit;
    }
    result.bytes.resize(filled);
    return result;
}

bool FileExists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool OnlyThisUserWrites(const std::string& directory)
{
    struct stat info {};
    return ::stat(directory.c_str(), &info) == 0 && (info.st_uid == ::geteuid() || info.st_uid == 0)
        && (info.st_mode & S_IWOTH) == 0 && ((info.st_mode & S_IWGRP) == 0 || IsPrivateGroup(info.st_gid));
}

std::string TemporaryPattern(std::string_view name)
{
    return "." + std::string(name) + std::string(TemporaryInfix) + std::string(TemporaryRandomChars, 'X');
}

WriteOutcome WriteFileAtomically(const std::string& path, std::string_view bytes)
{
    std::string target;
    if (const int error = ResolveLinks(path, target))
        return {error};
    struct stat old {};
    bool exists = ::stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        return {errno};
    if (exists) {
        if (S_ISDIR(old.st_mode))
            return {EISDIR};
        if (!S_ISREG(old.st_mode))
            return {EINVAL};
        // Renaming over it needs only the directory: ask about the file.
        if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
            return {errno};
    }
    const std::string directory = DirectoryOf(target);
    const std::string name = NameOf(target);
    RemoveLeftoverTemporaries(directory, name);

    std::string temp = directory + '/' + TemporaryPattern(name);
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return {errno};
    int error = 0;
    if (exists && !TakeOver(fd, old)) {
        ::close(fd);
        ::unlink(temp.c_str());
        return RewriteInPlace(target, old, bytes);
    }
    if (!exists) {
        // mkstemp creates the file private; a new file gets the usual mode.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    if (!WriteAllAt(fd, bytes, 0) || ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        return {error};
    }
    // The rename itself must reach the disk, or a crash could bring back the
    // old directory entry after the program has reported success.
    const int dir = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

int CreateDirectories(const std::string& directory)
{
    std::string path;
    std::size_t from = 0;
    while (from <= directory.size()) {
        auto slash = directory.find('/', from);
        if (slash == std::string::npos)
            slash = directory.size();
        path = directory.substr(0, slash);
        from = slash + 1;
        if (path.empty() || path.ends_with('/'))
            continue;
        if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
            return errno;
    }
    struct stat info {};
    if (::stat(directory.c_str(), &info) != 0)
        return errno;
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}
