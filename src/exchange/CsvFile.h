#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class GridModel;

// Writes the grid text table with "," to path, in the system's code page,
// without a byte-order mark. The file is written beside the target under a
// temporary name and then put in its place in one step, so that at every
// instant the target holds either its previous content or the new one.
// Returns false when the file could not be written; the target then keeps
// what it held.
bool WriteCsv(const GridModel& grid, const QString& path);

// Writes bytes to path the same atomic way. Exposed for tests and for the
// fault hook below.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes);

// Test hook: when set, called after the temporary file has been written and
// before it replaces the target; returning false abandons the replace, as a
// writer killed at that moment would.
void SetBeforeCommitHookForTest(std::function<bool()> hook);

// Reads a text-table file: lines up to CR or CR LF, the terminator removed
// and CR LF appended to each, so a missing final CR LF reads the same.
// Decoded from the system's code page. No value when the file does not exist,
// is not a plain file, or cannot be opened or read.
std::optional<QString> ReadTextTableFile(const QString& path);
