#include "editions/SideWindowSettingsFile.h"

QString SideWindowSettingsFile::Read(const QString& key) const {
    return file_.ReadSetting(kWindowSection, key, QString());
}

void SideWindowSettingsFile::Write(const Values& values) {
    file_.BeginBatch();
    for (const auto& [key, value] : values) file_.WriteSetting(kWindowSection, key, value);
    file_.EndBatch();
}

bool SideWindowSettingsFile::Holds(const QString& value) const {
    return Common::AsReadBack(value) == value;
}
