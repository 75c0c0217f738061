#include "shell/Common.h"

#include <QStringConverter>
#include <QStringView>

namespace {

// The longest leading part of text whose system code page form fits in
// maxBytes, cut between characters: neither a double-byte character nor a
// surrogate pair is split.
QString CutToBytes(const QString& text, qsizetype maxBytes) {
    QStringEncoder encoder(QStringConverter::System);
    if (QByteArray(encoder.encode(text)).size() <= maxBytes) {
        return text;
    }
    QStringEncoder perCharacter(QStringConverter::System);
    qsizetype bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype width =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()
                ? 2
                : 1;
        bytes += QByteArray(perCharacter.encode(QStringView(text).mid(i, width))).size();
        if (bytes > maxBytes) {
            break;
        }
        i += width;
    }
    return text.left(i);
}

}  // namespace

QString Common::ReadSetting(const QString& section, const QString& key,
                            const QString& defaultValue) const {
    return AsReadBack(file_.Read(section, key).value_or(defaultValue));
}

QString Common::AsReadBack(const QString& value) {
    return CutAtNul(CutToBytes(value, kMaxValueBytes));
}

QString Common::ReadSettingOrDefault(const QString& section, const QString& key,
                                     const QString& defaultValue) {
    const QString value = ReadSetting(section, key, QString());
    if (!value.isEmpty()) {
        return value;
    }
    WriteSetting(section, key, defaultValue);
    return defaultValue;
}

void Common::WriteSetting(const QString& section, const QString& key, const QString& value) {
    // A settings file that cannot be written is left as it was, without a word.
    (void)file_.Write(section, key, value);
}

QString Common::CutAtNul(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}
