#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>

#include "FileBytes.h"

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

// Root reads and writes through any permission bits, so tests that rely on
// them cannot fail the way they mean to.
inline bool PermissionsAreIgnored() {
#ifdef Q_OS_UNIX
    return geteuid() == 0;
#else
    return false;
#endif
}
