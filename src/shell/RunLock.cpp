#include "RunLock.h"

#include <QCoreApplication>
#include <QSet>
#include <QSysInfo>

namespace {

// The lock files this process holds: a lock naming this process's id that
// is not among them was left by an earlier process with the same id.
QSet<QString>& HeldHere() {
    static QSet<QString> held;
    return held;
}

}  // namespace

RunLock::RunLock(const QString& path) : path_(path), lock_(path) {
    // Never stale by age while its owner lives.
    lock_.setStaleLockTime(0);
    qint64 pid = 0;
    QString host;
    QString application;
    if (!HeldHere().contains(path_) && lock_.getLockInfo(&pid, &host, &application) &&
        pid == QCoreApplication::applicationPid() && host == QSysInfo::machineHostName()) {
        lock_.removeStaleLockFile();
    }
    held_ = lock_.tryLock(0);
    if (held_) HeldHere().insert(path_);
}

RunLock::~RunLock() {
    if (held_) HeldHere().remove(path_);
}
