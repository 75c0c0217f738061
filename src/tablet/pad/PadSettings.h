#pragma once

#include <QList>
#include <QPair>
#include <QString>

// Where the pad keeps what it must find again at the next start: keys of the
// program's settings file, beside the main window's own.
class PadSettings {
  public:
    using Values = QList<QPair<QString, QString>>;

    virtual ~PadSettings() = default;

    // The key's value; empty when it is missing.
    virtual QString Read(const QString& key) const = 0;
    // Sets every key of `values`, in one write of the file.
    virtual void Write(const Values& values) = 0;
};
