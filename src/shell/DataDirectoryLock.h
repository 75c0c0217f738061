#pragma once

#include <QString>

#include "shell/RunLock.h"

// One running copy per data directory, whatever its executable is called: a
// renamed copy started beside the first would take the first copy's run
// marker for a crash, load its values, and both would then write the same
// autosave file. Held from construction for the copy's whole run.
class DataDirectoryLock {
public:
    explicit DataDirectoryLock(const QString& dataDirectory);

    bool Held() const { return lock_.Held(); }
    // Not held for another reason than another copy (RunLock::Problem).
    const QString& Problem() const { return lock_.Problem(); }

private:
    RunLock lock_;
};
