#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// A file's bytes, or "<missing>" when it cannot be read, so that a missing
// file never passes for an empty one.
inline QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Replaces a file's content; false when it cannot be written whole.
inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}
