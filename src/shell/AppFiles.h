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

// For a program whose own directory cannot hold its files: on its first
// start in the per-user data directory (no settings file there yet), the
// settings that stand beside the executable (an administrator's, say) are
// copied in and used from then on. Returns true on that first start.
bool PreparePerUserDirectory(const QString& dataDirectory, const QString& executableDirectory,
                             const QString& executableBaseName);

// Whether a run marker of the program's own stands at path: a regular file,
// not a link to one.
bool RunMarkerPresent(const QString& path);

// Creates the run marker at path, one line "err". A marker already there
// (left by a run that did not end normally) is kept as it is, so that there
// is never a moment without one. A symbolic link or anything but a regular
// file in its place is never followed, written or removed: the marker
// cannot be used to touch another file. False when the marker cannot be
// created; `why` then says why.
bool CreateRunMarker(const QString& path, QString* why = nullptr);
