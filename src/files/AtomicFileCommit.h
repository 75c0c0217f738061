#pragma once

#include <QString>

// Whether a write to `path`, its new content written and synced, may now
// take the target's place. In the program always: the function stands alone
// in its own file so that a test build can link its own in its place
// (tests/support/CommitGate) and stop or count writes at that moment, as a
// kill would.
bool MayCommitAtomicWrite(const QString& path);
