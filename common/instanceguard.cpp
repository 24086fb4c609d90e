#include "instanceguard.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QMessageBox>
#include <QThread>
#include <QWidget>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The directory made canonical as far as it exists, so that every spelling
// of it (links, "..", a trailing slash) gives one key.
std::string CanonicalDirectory(std::string path)
{
    while (path.size() > 1 && path.ends_with('/'))
        path.pop_back();
    std::string missing;
    for (;;) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            std::string canonical = real;
            std::free(real);
            return canonical + missing;
        }
        const auto slash = path.rfind('/');
        if (errno != ENOENT || slash == std::string::npos || slash == 0)
            return path + missing;
        missing = path.substr(slash) + missing;
        path.resize(slash);
    }
}

QString RuntimeDirectory()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/') && ::access(QFile::encodeName(runtime).constData(), W_OK | X_OK) == 0)
        return runtime;
    return QDir::tempPath();
}

bool SameFile(int fd, const QString& path)
{
    struct stat held {}, named {};
    return ::fstat(fd, &held) == 0 && ::stat(QFile::encodeName(path).constData(), &named) == 0
        && held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

} // namespace

InstanceGuard::InstanceGuard(const QString& program, const std::string& dataDirectory, QObject* parent)
    : QObject(parent)
{
    const QByteArray hash = QCryptographicHash::hash(QByteArray::fromStdString(CanonicalDirectory(dataDirectory)),
                                                     QCryptographicHash::Sha256)
                                .toHex()
                                .left(16);
    // The user's id keeps users apart in a shared temporary directory.
    const QString base = QStringLiteral("%1/%2-%3-%4")
                             .arg(RuntimeDirectory(), program, QString::number(::geteuid()), QString::fromLatin1(hash));
    lockPath_ = base + QStringLiteral(".lock");
    socketPath_ = base + QStringLiteral(".socket");
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
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        struct stat info {};
        if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
            // Not ours to lock (another user's file in a shared directory).
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
