#pragma once

#include <QList>
#include <QPair>
#include <QString>

// Where the side windows (the on-screen pad, the figure window) keep what
// they must find again at the next start, such as where the operator put
// them and the pad's drawing: keys of the program's settings file, beside the
// main window's own.
class SideWindowSettings {
  public:
    using Values = QList<QPair<QString, QString>>;

    virtual ~SideWindowSettings() = default;

    // The key's value; empty when it is missing.
    virtual QString Read(const QString& key) const = 0;
    // Sets every key of `values`, in one write of the file.
    virtual void Write(const Values& values) = 0;
    // Whether `value` is read back as written (a settings file may cut a
    // long value).
    virtual bool Holds(const QString& value) const {
        (void)value;
        return true;
    }
};
