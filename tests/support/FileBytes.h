#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>

// A file's bytes; no value when it cannot be read, so that a missing file
// never passes for an empty one.
inline std::optional<QByteArray> FileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    return f.readAll();
}

// The same, for comparing: a file that cannot be read reads "<missing>".
inline QByteArray ReadBytes(const QString& path) {
    return FileBytes(path).value_or(QByteArray("<missing>"));
}

// Replaces a file's content; false when it cannot be written whole. Set-up
// that writes files checks this (ASSERT_TRUE), so that a failed set-up ends
// the test instead of testing something else.
[[nodiscard]] inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size() &&
           f.flush();
}
