#include "InstanceGuard.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLockFile>
#include <QStandardPaths>

namespace {

// False for a lock file that is missing or holds no owner's name.
bool HasOwner(const QLockFile& lock) {
    qint64 pid = 0;
    QString host;
    QString application;
    return lock.getLockInfo(&pid, &host, &application);
}

}  // namespace

struct InstanceGuard::State {
    explicit State(const QString& lockPath) : lock(lockPath), wakePath(lockPath + ".wake") {}
    QLockFile lock;
    QString wakePath;
    QFileSystemWatcher watcher;
};

QString InstanceGuard::DefaultLockDirectory() {
#ifdef Q_OS_WIN
    return QDir::tempPath();
#else
    // Qt creates it, private to the user, when the session has none.
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
#endif
}

InstanceGuard::InstanceGuard(const QString& executablePath, const QString& lockDirectory) {
    const QByteArray key =
        QCryptographicHash::hash(QDir::cleanPath(executablePath).toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    QDir().mkpath(lockDirectory);
    state_ = std::make_unique<State>(
        QDir(lockDirectory).filePath(QStringLiteral("kalvor-%1.lock").arg(QString::fromLatin1(key))));
    previous_ = !TakeLockFile(state_->lock);
}

bool TakeLockFile(QLockFile& lock) {
    // Never stale by age while its owner lives; a lock left by a crashed copy
    // is recognised by its dead owner and taken over.
    lock.setStaleLockTime(0);
    if (lock.tryLock(0)) return true;
    if (lock.error() != QLockFile::LockFailedError) return false;
    // A copy killed while it made a lock file leaves the file without its
    // owner's name, and Qt counts such a file as stale only by age: never,
    // for ours, and only after 30 s for the guard file ".rmlock" that Qt
    // takes to remove a dead owner's lock (an empty guard stops that removal
    // until then). Either is removed when no live process holds the system's
    // lock on it: removeStaleLockFile must take that lock first, and Qt's
    // owner takes it before it writes its name. Under the guard, so that two
    // copies started together cannot remove each other's new lock.
    QLockFile guard(lock.fileName() + QStringLiteral(".rmlock"));
    const bool emptyGuard = QFileInfo::exists(guard.fileName()) && !HasOwner(guard);
    // A named owner and no empty guard: Qt has found that owner alive.
    if (HasOwner(lock) && !emptyGuard) return false;
    if (emptyGuard) guard.removeStaleLockFile();
    if (!guard.tryLock(0)) return false;
    if (!HasOwner(lock)) lock.removeStaleLockFile();
    // Qt takes the guard itself to remove a dead owner's lock.
    guard.unlock();
    return lock.tryLock(0);
}

InstanceGuard::~InstanceGuard() {
    if (!previous_) QFile::remove(state_->wakePath);
}

void InstanceGuard::OnWakeRequest(std::function<void()> wake) {
    if (previous_) return;
    QFile file(state_->wakePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    file.close();
    state_->watcher.addPath(state_->wakePath);
    QObject::connect(&state_->watcher, &QFileSystemWatcher::fileChanged, &state_->watcher,
                     [this, wake = std::move(wake)](const QString& path) {
                         // Some systems stop watching a file once it changed.
                         if (!state_->watcher.files().contains(path))
                             state_->watcher.addPath(path);
                         wake();
                     });
}

void InstanceGuard::WakeRunningCopy() const {
    QFile file(state_->wakePath);
    // Only an existing wake file: the running copy made it and watches it.
    if (file.exists() && file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write("1");
}
