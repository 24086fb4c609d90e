#pragma once

#include <QObject>

#include <csignal>

class QSocketNotifier;

// SIGTERM and SIGHUP, with which a desktop session ends its programs, turned
// into a Qt signal: the handler only writes a byte to a pipe, and the event
// loop (a modal window's too) reads it. One instance at a time; it restores
// the previous handlers when it goes.
class TerminationSignals final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TerminationSignals)

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received(int signal);

private:
    void readPipe();

    QSocketNotifier* notifier_ = nullptr;
    struct sigaction previousTerm_ {};
    struct sigaction previousHup_ {};
};
