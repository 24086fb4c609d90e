#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <string>

class QWidget;

// One program of a kind per data directory: two windows over the same files
// would each save over what the other saved. The first start holds a lock on
// a file in the data directory itself (".kidrill.lock"), so that any two
// programs of a kind over the same files exclude each other, whoever runs
// them and whatever their environment; the system releases it however the
// program ends, so a crash leaves nothing that blocks. The first start also
// listens on a socket beside it, through which a later start of the same
// user asks it to come to the front before it ends.
class InstanceGuard final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InstanceGuard)

public:
    // `program` names the kind ("kidrill", "kidlist"). The data directory is
    // made when it is missing.
    InstanceGuard(const QString& program, const std::string& dataDirectory, QObject* parent = nullptr);
    ~InstanceGuard() override;

    // True for the start that holds the lock, and where no lock can be had
    // at all (the program then runs unguarded rather than not at all).
    bool first() const { return first_; }

    // For a later start: asks the first one to show itself. False when it
    // could not be reached, or is another user's.
    bool askFirstToShow() const;

    QString lockPath() const { return lockPath_; }
    QString socketPath() const { return socketPath_; }

signals:
    // A later start asked this one to come to the front.
    void showRequested();

private:
    void takeLock();
    void listen();
    void answer();

    QString lockPath_;
    QString socketPath_;
    int lockFd_ = -1;
    bool first_ = true;
    QLocalServer server_;
};

// For a program's entry: true when this start may go on. A later start
// brings the running one to the front or, where the platform does not let a
// program raise another's window (Wayland), says in a message box that
// `title` is already running; it then ends without writing anything.
bool MayStart(InstanceGuard& guard, const QString& title);

// Brings the program's window to the front: the modal window in front of
// `main` when one is open.
void BringToFront(QWidget* main);
