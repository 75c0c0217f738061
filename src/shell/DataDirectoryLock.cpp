#include "DataDirectoryLock.h"

#include "InstanceGuard.h"

#include <QDir>

DataDirectoryLock::DataDirectoryLock(const QString& dataDirectory)
    : lock_(QDir(dataDirectory).filePath(QStringLiteral(".kalvor.lock"))) {
    // As the single-copy lock: a dead owner's lock is taken over.
    held_ = TakeLockFile(lock_);
}
