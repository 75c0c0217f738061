#pragma once

#include <QString>

// Where the program keeps its files: the settings file, the autosave file and
// the run marker all live in one data directory. That is the executable's
// directory when a file can be created there; otherwise (an installed
// program in a read-only place) the per-user application data directory,
// created when missing, so that settings and crash recovery still work.
QString ResolveDataDirectory(const QString& executableDirectory);

// A file name joined to a directory with one separator; none is added when
// the directory already ends with one.
QString AppFilePath(const QString& directory, const QString& fileName);

// The settings file: the data directory, the executable's file name without
// its extension, and ".INI".
QString SettingsFilePath(const QString& directory, const QString& executableBaseName);

// Whether another copy of the same executable is running. The first copy
// holds a lock for its whole run; a later copy finds it held.
class InstanceGuard {
public:
    explicit InstanceGuard(const QString& executablePath);
    ~InstanceGuard();
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;

    bool PreviousInstance() const { return previous_; }

private:
    struct Lock;
    Lock* lock_;
    bool previous_ = false;
};
