#pragma once

#include "shell/Common.h"
#include "measure/ui/SideWindowSettings.h"

// The side windows' keys in the program's settings file, in the main window's
// section "frmTab" beside its own. The window reads and writes the same file
// through its own Common: every write reads the file afresh, so neither
// loses the other's keys.
class SideWindowSettingsFile : public SideWindowSettings {
  public:
    explicit SideWindowSettingsFile(QString iniPath) : file_(std::move(iniPath)) {}

    QString Read(const QString& key) const override;
    void Write(const Values& values) override;
    bool Holds(const QString& value) const override;

  private:
    Common file_;
};
