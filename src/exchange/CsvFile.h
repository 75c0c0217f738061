#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include "AtomicFile.h"

#include <optional>

class GridModel;

// Writes the grid text table with "," to path, in the system's code page,
// without a byte-order mark, through WriteFileAtomically: at every instant
// the target holds either its previous content or the new one. On failure
// the target keeps what it held and the result says why.
FileWriteResult WriteCsv(const GridModel& grid, const QString& path);

// Reads a text-table file: lines up to CR or CR LF, the terminator removed
// and CR LF appended to each, so a missing final CR LF reads the same.
// Decoded from the system's code page. No value when the file does not exist,
// is not a plain file, or cannot be opened or read.
std::optional<QString> ReadTextTableFile(const QString& path);

// The line splitting of ReadTextTableFile on text already decoded: every line
// ended by CR LF, whichever of CR LF, CR and LF ended it before.
QString SplitTextTableLines(QStringView decoded);
