#pragma once

#include <QByteArray>
#include <QString>

// What stands at a path, the path itself looked at (a link is a link, not
// what it names).
enum class FileKind { Missing, Regular, Link, Other };
FileKind KindAt(const QString& path);

// Whether a file is read through a symbolic link. The program's own files
// (settings, autosave, run marker, lock) never are: a link planted in their
// place must not make the program read or write what it names. A file the
// operator names may be a link to a regular file.
enum class Links { Refuse, Follow };

struct FileReadResult {
    enum class Status { Read, Missing, Link, NotRegular, TooLarge, Failed };
    Status status = Status::Failed;
    QByteArray bytes;
    // Why it was not read, in words for the operator; empty when it was.
    QString reason;
    bool Ok() const { return status == Status::Read; }
};

// Reads a regular file whole, at most `maxBytes` of it. A FIFO or a device
// in its place is never opened for reading in a way that could wait for a
// writer or stream for ever: it is refused, as is anything larger than
// `maxBytes` (a bound no real file of that kind reaches), and, with
// Links::Refuse, a symbolic link.
FileReadResult ReadRegularFile(const QString& path, qint64 maxBytes, Links links);
