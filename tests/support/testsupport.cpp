#include "testsupport.h"

#include "cp932.h"
#include "textfile.h"

#include <QTest>

#include <fstream>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

std::string Sj(const char* utf8)
{
    const auto bytes = EncodeCp932(QString::fromUtf8(utf8));
    if (!bytes)
        qFatal("test text has no CP932 code: %s", utf8);
    return *bytes;
}

std::string Cp932Lines(const QStringList& lines)
{
    std::string bytes;
    for (const QString& line : lines)
        bytes += Sj(line.toUtf8().constData()) + "\r\n";
    return bytes;
}

QString Show(std::string_view bytes)
{
    QString text = DecodeCp932(bytes);
    text.replace(QChar('\r'), QStringLiteral("\\r")).replace(QChar('\n'), QStringLiteral("\\n"));
    text.replace(QChar(0x1A), QStringLiteral("\\x1a"));
    return text;
}

ScratchDir::ScratchDir()
{
    if (!dir_.isValid())
        qFatal("cannot make a scratch directory");
}

std::string ScratchDir::path() const
{
    return dir_.path().toStdString() + '/';
}

void ScratchDir::write(const std::string& name, std::string_view bytes) const
{
    std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ScratchDir::read(const std::string& name) const
{
    std::ifstream in(file(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string SourceDataDir()
{
    return KIDRILL_SOURCE_DATA_DIR;
}

std::string AppDataDir()
{
    return KIDRILL_APP_DATA_DIR;
}

bool RunningAsRoot() { return ::geteuid() == 0; }
uid_t UserId() { return RunningAsRoot() ? Nobody : ::getuid(); }
gid_t UserGroup() { return RunningAsRoot() ? Nobody : ::getgid(); }

int AsUser(const std::function<int()>& body)
{
    const pid_t child = fork();
    if (child == 0) {
        if (RunningAsRoot() && (setgroups(0, nullptr) != 0 || setgid(Nobody) != 0 || setuid(Nobody) != 0))
            _exit(98);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}
