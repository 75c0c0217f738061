#pragma once

#include <QString>
#include <functional>

// Linked into a test in place of the program's commit gate of the atomic
// writer: when set, the hook is called with the target's path after the
// temporary file has been written and synced and before it replaces the
// target; returning false abandons the replace, as a writer killed at that
// moment would.
void SetBeforeCommitHookForTest(std::function<bool(const QString& path)> hook);
