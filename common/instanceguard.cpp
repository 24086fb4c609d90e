#include "instanceguard.h"

#include "textfile.h"

#include <QApplication>
#include <QFile>
#include <QLocalSocket>
#include <QMessageBox>
#include <QThread>
#include <QWidget>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool SameFile(int fd, const QString& path)
{
    struct stat held {}, named {};
    return ::fstat(fd, &held) == 0 && ::stat(QFile::encodeName(path).constData(), &named) == 0
        && held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// The lock file, opened for reading (all flock needs, so that another user's
// start over the same files is excluded too) and made when it is missing.
// Never through a link, and never another user's file truncated or replaced.
int OpenLockFile(const QByteArray& path)
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0 || errno != ENOENT)
            return fd;
        const int made = ::open(path.constData(), O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (made >= 0) {
            ::fchmod(made, 0644); // whatever the umask: every user over these files must open it
            return made;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

} // namespace

InstanceGuard::InstanceGuard(const QString& program, const std::string& dataDirectory, QObject* parent)
    : QObject(parent)
{
    const std::string directory = dataDirectory.ends_with('/') ? dataDirectory : dataDirectory + '/';
    const QString base = QFile::decodeName(QByteArray::fromStdString(directory)) + '.' + program;
    lockPath_ = base + QStringLiteral(".lock");
    socketPath_ = base + QStringLiteral(".socket");
    if (CreateDirectories(directory) != 0) {
        qWarning("cannot make %s: running without the guard against a second start", directory.c_str());
        return;
    }
    takeLock();
    if (first_)
        listen();
}

InstanceGuard::~InstanceGuard()
{
    server_.close();
    if (lockFd_ >= 0) {
        // Removed while still held: a start waiting on this file sees that
        // it is gone and takes a new one (takeLock).
        ::unlink(QFile::encodeName(lockPath_).constData());
        ::close(lockFd_);
    }
}

void InstanceGuard::takeLock()
{
    const QByteArray path = QFile::encodeName(lockPath_);
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int fd = OpenLockFile(path);
        struct stat info {};
        if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            if (fd >= 0)
                ::close(fd);
            qWarning("cannot lock %s: running without the guard against a second start", path.constData());
            return;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            first_ = error != EWOULDBLOCK;
            if (first_)
                qWarning("cannot lock %s: running without the guard against a second start", path.constData());
            return;
        }
        // The first start may have removed the file between our open and
        // our lock: then the lock is on a file nobody else will see.
        if (SameFile(fd, lockPath_)) {
            lockFd_ = fd;
            return;
        }
        ::close(fd);
    }
}

void InstanceGuard::listen()
{
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    // Holding the lock, a socket left behind is a crashed program's.
    if (!server_.listen(socketPath_)) {
        QLocalServer::removeServer(socketPath_);
        if (!server_.listen(socketPath_))
            qWarning("cannot listen on %s: a second start cannot bring this one to the front",
                     qPrintable(socketPath_));
    }
    connect(&server_, &QLocalServer::newConnection, this, &InstanceGuard::answer);
}

void InstanceGuard::answer()
{
    // The connection is the whole message.
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        socket->close();
        socket->deleteLater();
        emit showRequested();
    }
}

bool InstanceGuard::askFirstToShow() const
{
    // The first start listens right after taking its lock; give it time.
    for (int attempt = 0; attempt < 30; ++attempt) {
        // Only a socket of this user's: another user's start cannot be
        // raised on this user's screen, and another user could have put
        // one there to swallow the request.
        struct stat info {};
        if (::lstat(QFile::encodeName(socketPath_).constData(), &info) == 0
            && (!S_ISSOCK(info.st_mode) || info.st_uid != ::geteuid()))
            return false;
        QLocalSocket socket;
        socket.connectToServer(socketPath_);
        if (socket.waitForConnected(1000)) {
            socket.disconnectFromServer();
            return true;
        }
        QThread::msleep(100);
    }
    return false;
}

bool MayStart(InstanceGuard& guard, const QString& title)
{
    if (guard.first())
        return true;
    const bool canRaise = !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    if (!canRaise || !guard.askFirstToShow())
        QMessageBox::information(nullptr, title, QStringLiteral("%1 はもう起動しています。").arg(title));
    return false;
}

void BringToFront(QWidget* main)
{
    QWidget* window = QApplication::activeModalWidget();
    if (!window)
        window = main;
    if (!window || !window->isVisible())
        return;
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->raise();
    window->activateWindow();
}
