#include "shell/RunLock.h"

#include "files/RegularFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSysInfo>
#include <QTemporaryDir>

#include <optional>

namespace {

// The machine's name as this platform's lock files record it (on Windows
// the computer name, which may differ from the network host name).
QString LockHostName() {
    static const QString name = [] {
        QTemporaryDir dir;
        QLockFile probe(dir.filePath(QStringLiteral("probe.lock")));
        qint64 pid = 0;
        QString host;
        QString application;
        if (dir.isValid() && probe.tryLock(0)) probe.getLockInfo(&pid, &host, &application);
        return host.isEmpty() ? QSysInfo::machineHostName() : host;
    }();
    return name;
}

// The lock files this process holds: a lock naming this process's id that
// is not among them was left by an earlier process with the same id.
QSet<QString>& HeldHere() {
    static QSet<QString> held;
    return held;
}

// The owner's id, or no value for a lock file that is missing or holds no
// owner's name.
std::optional<qint64> Owner(const QLockFile& lock, QString* host = nullptr) {
    qint64 pid = 0;
    QString hostName;
    QString application;
    if (!lock.getLockInfo(&pid, &hostName, &application)) return std::nullopt;
    if (host != nullptr) *host = hostName;
    return pid;
}

// Takes the lock unless a live process holds it. Beyond Qt's own check of a
// dead owner: a copy killed while it made a lock file leaves the file
// without its owner's name, and Qt counts such a file as stale only by age:
// never, for ours, and only after 30 s for the guard file ".rmlock" that Qt
// takes to remove a dead owner's lock (an empty guard stops that removal
// until then). Either is removed when no live process holds the system's
// lock on it: removeStaleLockFile must take that lock first, and Qt's owner
// takes it before it writes its name. Under the guard, so that two copies
// started together cannot remove each other's new lock.
bool Take(QLockFile& lock) {
    if (lock.tryLock(0)) return true;
    if (lock.error() != QLockFile::LockFailedError) return false;
    QLockFile guard(lock.fileName() + QStringLiteral(".rmlock"));
    const bool emptyGuard = QFileInfo::exists(guard.fileName()) && !Owner(guard);
    // A named owner and no empty guard: Qt has found that owner alive.
    if (Owner(lock) && !emptyGuard) return false;
    if (emptyGuard) guard.removeStaleLockFile();
    if (!guard.tryLock(0)) return false;
    if (!Owner(lock)) lock.removeStaleLockFile();
    // Qt takes the guard itself to remove a dead owner's lock.
    guard.unlock();
    return lock.tryLock(0);
}

}  // namespace

RunLock::RunLock(const QString& path) : path_(path), lock_(path) {
    // The lock is the program's own file: a link or a device in its place
    // is neither followed nor removed.
    switch (KindAt(path)) {
        case FileKind::Link:
            problem_ = QStringLiteral("「%1」がシンボリックリンクになっています").arg(path);
            return;
        case FileKind::Other:
            problem_ = QStringLiteral("「%1」が通常のファイルではありません").arg(path);
            return;
        default:
            break;
    }
    // Never stale by age while its owner lives (a copy may measure for days).
    lock_.setStaleLockTime(0);
    QString host;
    if (!HeldHere().contains(path_) && Owner(lock_, &host) == QCoreApplication::applicationPid() &&
        host == LockHostName()) {
        lock_.removeStaleLockFile();
    }
    held_ = Take(lock_);
    if (held_) {
        HeldHere().insert(path_);
    } else if (lock_.error() != QLockFile::LockFailedError) {
        // Not another copy: the folder itself refuses the file. Its own
        // words say why (no permission, a read-only file system, ...).
        QFile probe(QFileInfo(path_).absolutePath() + QStringLiteral("/.kalvor-write-probe"));
        problem_ = probe.open(QIODevice::WriteOnly | QIODevice::NewOnly)
                       ? QStringLiteral("ロックファイルを作れません")
                       : QStringLiteral("このフォルダーに書き込めません（%1）").arg(probe.errorString());
        if (probe.isOpen()) probe.remove();
    }
}

RunLock::~RunLock() {
    if (held_) HeldHere().remove(path_);
}
