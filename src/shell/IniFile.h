#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// Reads and writes one key of an INI file the way the Windows profile-string
// functions do, on every platform:
// - "[section]" header lines and "key=value" lines, matched without regard to
//   letter case and to spaces around the key, name and value;
// - a write replaces an existing key's value in place, appends a new key
//   after the last line of its section, and appends a missing section at the
//   end of the file; every other line (sections, keys, comments, blank lines)
//   stays byte for byte;
// - lines end with CR LF; text is in the system's code page;
// - a missing file or section is created on the first write.
// The file is replaced whole and atomically: a write that fails (a full
// disk, a read-only file) leaves it exactly as it was. It is the program's
// own file: never read or written through a symbolic link.
class IniFile {
public:
    explicit IniFile(QString path) : path_(std::move(path)) {}

    // No settings file reaches this size; a larger one is refused at once
    // rather than read line by line.
    static constexpr qint64 kMaxBytes = 1024 * 1024;

    const QString& Path() const { return path_; }
    // Why the file was not read the last time: a symbolic link or anything
    // but a regular file in its place, or a file larger than kMaxBytes. Such
    // a file is neither read (every setting has its default) nor written.
    // Empty when it was read or is missing.
    const QString& Problem() const { return problem_; }

    // The value of key in section, or no value when the file, the section or
    // the key is missing or the file cannot be read.
    std::optional<QString> Read(const QString& section, const QString& key) const;

    // Sets key to value in section. Returns false when the file cannot be
    // written; it is then left as it was. A write that changes no byte does
    // not touch the file.
    bool Write(const QString& section, const QString& key, const QString& value);

    // Writes between BeginBatch and EndBatch reach the file in one write at
    // EndBatch, with the same bytes as one write each would give; reads in
    // between see them. Pairs nest: the outermost counts. EndBatch returns
    // false when the file could not be written.
    void BeginBatch();
    bool EndBatch();

private:
    std::optional<QByteArray> ReadAll() const;
    // The file's lines for a change, or no value when it exists but cannot
    // be read whole or written.
    std::optional<QList<QByteArray>> LoadForWrite() const;
    bool Store(const QList<QByteArray>& lines, const QByteArray& before) const;

    // Its constructor is spelled out, not left to member initializers: clang
    // cannot yet default-construct a nested class so initialized inside the
    // optional below.
    struct Batch {
        Batch() : dirty(false) {}
        std::optional<QList<QByteArray>> lines;
        std::optional<QList<QByteArray>> readOnly;
        QByteArray before;
        bool dirty;
    };

    QString path_;
    mutable QString problem_;
    int batchDepth_ = 0;
    std::optional<Batch> batch_;
};
