#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include "files/AtomicFile.h"

#include <optional>

class GridModel;

// Writes the grid text table with "," to path, in the system's code page,
// without a byte-order mark, through WriteFileAtomically: at every instant
// the target holds either its previous content or the new one. On failure
// the target keeps what it held and the result says why.
// The autosave file is the program's own (Links::Refuse, the default); a
// file the operator chose may be a link to a regular file.
FileWriteResult WriteCsv(const GridModel& grid, const QString& path, Links links = Links::Refuse);

// The largest text-table file read back: more than the largest grid
// (10,000 rows of 1,000 cells) writes with every cell a long number.
inline constexpr qint64 kMaxTableFileBytes = qint64{256} * 1024 * 1024;

// Reads a text-table file of the program's own (the autosave): lines up to
// CR or CR LF, the terminator removed and CR LF appended to each, so a
// missing final CR LF reads the same. Decoded from the system's code page.
// No value when the file does not exist or cannot be read; a symbolic link,
// anything but a regular file, or one larger than kMaxTableFileBytes is not
// read either, and then `refusal` (when given) says why.
std::optional<QString> ReadTextTableFile(const QString& path, QString* refusal = nullptr);

// The line splitting of ReadTextTableFile on text already decoded: every line
// ended by CR LF, whichever of CR LF, CR and LF ended it before.
QString SplitTextTableLines(QStringView decoded);
