#pragma once

#include <QString>

// The version in an executable's version resource as the window title shows
// it: major, minor and revision as plain decimal numbers joined by "." (file
// version 1.01.0001, stored as 1,1,0,1, gives "1.1.1"). Empty when the file
// has no version resource or cannot be read, and always empty on systems
// without version resources.
QString ExecutableVersion(const QString& path);
