#include "shell/InstanceGuard.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include "shell/RunLock.h"
#include <QStandardPaths>

struct InstanceGuard::State {
    explicit State(const QString& lockPath) : lock(lockPath), wakePath(lockPath + ".wake") {}
    RunLock lock;
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
    previous_ = !state_->lock.Held();
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
