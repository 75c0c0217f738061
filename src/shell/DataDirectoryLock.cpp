#include "shell/DataDirectoryLock.h"

#include <QDir>

DataDirectoryLock::DataDirectoryLock(const QString& dataDirectory)
    : lock_(QDir(dataDirectory).filePath(QStringLiteral(".kalvor.lock"))) {}
