#pragma once

#include <sys/types.h>

#include <QString>
#include <QStringList>

// One run of the program under test as a child process, ended only by
// SIGKILL, as a crash or a power cut would end it.
class KalvorProcess {
public:
    KalvorProcess() = default;
    KalvorProcess(const KalvorProcess&) = delete;
    KalvorProcess& operator=(const KalvorProcess&) = delete;
    ~KalvorProcess() { Kill(); }

    // Starts `executable` with `environment` (NAME=value entries), standard
    // output and error appended to `logPath`, standard input empty. False,
    // with the reason in `error`, when it could not be started.
    bool Start(const QString& executable, const QStringList& environment, const QString& logPath,
               QString& error);

    // Sends SIGKILL and waits until the process is gone and reaped, so that
    // no zombie holds its locks for the next start.
    void Kill();

    // True while the process runs; reaps it when it has ended on its own.
    bool Running();

    // How a process that ended on its own ended ("exit 0", "signal 11").
    const QString& Ended() const { return ended_; }

private:
    pid_t pid_ = -1;
    QString ended_;
};
