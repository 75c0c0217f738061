#include "editions/SideWindowSettingsFile.h"

namespace {

const QString kSection = QStringLiteral("frmTab");

}  // namespace

QString SideWindowSettingsFile::Read(const QString& key) const {
    return file_.ReadSetting(kSection, key, QString());
}

void SideWindowSettingsFile::Write(const Values& values) {
    file_.BeginBatch();
    for (const auto& [key, value] : values) file_.WriteSetting(kSection, key, value);
    file_.EndBatch();
}

bool SideWindowSettingsFile::Holds(const QString& value) const {
    return Common::AsReadBack(value) == value;
}
