#include "DataDirectoryLock.h"

#include <QDir>

DataDirectoryLock::DataDirectoryLock(const QString& dataDirectory)
    : lock_(QDir(dataDirectory).filePath(QStringLiteral(".kalvor.lock"))) {
    // As the single-copy lock: a dead owner's lock is taken over.
    lock_.setStaleLockTime(0);
    held_ = lock_.tryLock(0);
}
