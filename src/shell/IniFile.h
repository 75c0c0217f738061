#pragma once

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
class IniFile {
public:
    explicit IniFile(QString path) : path_(std::move(path)) {}

    const QString& Path() const { return path_; }

    // The value of key in section, or no value when the file, the section or
    // the key is missing or the file cannot be read.
    std::optional<QString> Read(const QString& section, const QString& key) const;

    // Sets key to value in section. Returns false when the file cannot be
    // written; it is then left as it was.
    bool Write(const QString& section, const QString& key, const QString& value) const;

private:
    QString path_;
};
