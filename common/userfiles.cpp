#include "userfiles.h"

#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

namespace {

std::string HomeDirectory()
{
    if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        return home;
    if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir && user->pw_dir[0] == '/')
        return user->pw_dir;
    return {};
}

// The XDG base directory for user data; a relative value is invalid there.
std::string DataHome()
{
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/')
        return xdg;
    const std::string home = HomeDirectory();
    return home.empty() ? std::string() : home + "/.local/share";
}

} // namespace

std::string OwnDataDirectory()
{
    std::string base = DataHome();
    if (base.empty())
        return {};
    while (base.size() > 1 && base.ends_with('/'))
        base.pop_back();
    return base + "/kidrill/";
}

std::string UserDataDirectory(const std::string& appDir)
{
    // Creating and replacing files needs write and search permission.
    if (::faccessat(AT_FDCWD, appDir.c_str(), W_OK | X_OK, AT_EACCESS) == 0)
        return appDir;
    const std::string own = OwnDataDirectory();
    return own.empty() ? appDir : own; // nowhere else to go: the saves report their failure
}

WriteOutcome WriteUserFile(const std::string& path, std::string_view bytes)
{
    const auto slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0)
        if (const int error = CreateDirectories(path.substr(0, slash)))
            return {error};
    return WriteFileAtomically(path, bytes);
}
