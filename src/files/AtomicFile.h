#pragma once

#include <QByteArray>
#include <QString>

#include "files/RegularFile.h"

// The outcome of writing a file: on failure, why, in words for the operator
// (the system's reason, such as a full disk or a missing permission).
struct FileWriteResult {
    bool ok = false;
    QString reason;
    explicit operator bool() const { return ok; }
};

// Writes bytes to path so that at every instant the path holds either its
// previous content or the new one, whole, even across a crash or a power cut:
// the bytes go to a temporary file beside the target, which is synced to
// disk, renamed over the target, and then the directory is synced so that the
// rename itself is on disk. An existing target keeps its permissions. Only a
// regular file or a new one is ever written: anything else in the target's
// place (a device, a FIFO, a directory) is refused and left as it stands.
// With Links::Refuse a symbolic link there is refused too; with
// Links::Follow the file it names is written, in its own directory. On
// failure the target is left as it was and the temporary file removed.
FileWriteResult WriteFileAtomically(const QString& path, const QByteArray& bytes,
                                    Links links = Links::Refuse);

// Removes the temporary files that a write to path left behind when the
// program was killed between writing and renaming. Only names this writer
// makes are touched ("<name>.kalvor-" and six letters or digits). Returns
// how many were removed.
int RemoveWriteLeftovers(const QString& path);
