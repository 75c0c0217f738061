#pragma once

#include "shell/IniFile.h"

#include <QString>

// The section of the settings file that holds every key of the program: the
// main window's, by the name of its form.
inline const QString kWindowSection = QStringLiteral("frmTab");

// The settings operations of the program, over the INI file named after the
// executable. They never fail loudly: a file that cannot be read gives the
// default, one that cannot be written is left as it was.
class Common {
public:
    // Values read back are cut to this many bytes of the system's code page,
    // as the profile-string functions' 500-character buffer does.
    static constexpr int kMaxValueBytes = 499;

    explicit Common(QString iniPath) : file_(std::move(iniPath)) {}

    const QString& Path() const { return file_.Path(); }
    // Why the settings file is neither read nor written (IniFile::Problem).
    const QString& Problem() const { return file_.Problem(); }

    // The value of key, or defaultValue when the file, section or key is missing.
    QString ReadSetting(const QString& section, const QString& key,
                        const QString& defaultValue) const;
    // The value of key; when it is missing or empty, defaultValue, which is
    // also written to the file.
    QString ReadSettingOrDefault(const QString& section, const QString& key,
                                 const QString& defaultValue);
    void WriteSetting(const QString& section, const QString& key, const QString& value);

    // Settings written between these reach the file in one write.
    void BeginBatch() { file_.BeginBatch(); }
    bool EndBatch() { return file_.EndBatch(); }

    // The characters before the first NUL, or the whole text.
    static QString CutAtNul(const QString& text);
    // `value` as ReadSetting gives it back once written: cut to
    // kMaxValueBytes and at a NUL.
    static QString AsReadBack(const QString& value);

private:
    IniFile file_;
};
