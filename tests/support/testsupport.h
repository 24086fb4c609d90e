#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>

// CP932 bytes of a UTF-8 literal, so that tests can be written in Japanese.
std::string Sj(const char* utf8);

// A CP932 text file of these UTF-8 lines, each ended by CR LF.
std::string Cp932Lines(const QStringList& lines);

// The bytes as readable text for failure messages (CP932 decoded, control
// bytes escaped).
QString Show(std::string_view bytes);

// A fresh directory, removed after the test, for files the code reads and
// writes. `path()` ends in '/'.
class ScratchDir {
public:
    ScratchDir();
    std::string path() const;
    std::string file(const std::string& name) const { return path() + name; }
    void write(const std::string& name, std::string_view bytes) const;
    std::string read(const std::string& name) const;

private:
    QTemporaryDir dir_;
};

// Where the shipped data files stand in the source tree, ending in '/'.
std::string SourceDataDir();
// The application directory the build lays out, with its generated files.
std::string AppDataDir();

// Root ignores file modes: tests of files that a user may not write run as
// an unprivileged user instead (Nobody), and the files of another user
// belong to Other.
constexpr uid_t Nobody = 65534;
constexpr uid_t Other = 65533;
bool RunningAsRoot();
uid_t UserId();
gid_t UserGroup();

// Runs `body` in a child process as the unprivileged user and returns its
// exit status (98 when the user could not be taken, 99 when it died).
int AsUser(const std::function<int()>& body);
