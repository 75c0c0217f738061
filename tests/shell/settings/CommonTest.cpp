#include <gtest/gtest.h>

#include <QStringConverter>
#include <QTemporaryDir>

#include "Common.h"
#include "QStringPrinter.h"
#include "SettingsTestFiles.h"

namespace {

const QString kSection = QStringLiteral("frmTab");

class CommonTest : public ::testing::Test {
  protected:
    QTemporaryDir dir_;
    const QString ini_ = dir_.filePath(QStringLiteral("Kalvor.INI"));
    const Common settings_{ini_};
};

qsizetype SystemBytes(const QString& text) {
    QStringEncoder encoder(QStringConverter::System);
    return QByteArray(encoder.encode(text)).size();
}

TEST_F(CommonTest, first_start_and_exit_leave_seventeen_keys_in_table_order) {
    const std::pair<const char*, const char*> defaults[] = {
        {"txtInput 0", "10"},  {"txtInput 1", "20"}, {"txtInput 2", "15"},
        {"txtInput 3", "800"}, {"cmbSyosu", "2"},    {"cmdWidth", "2"},
        {"cmbNiten", "0"},     {"chkZahyoX", "0"},   {"chkZahyoY", "0"},
        {"optMes", "0"},       {"optInput", "1"},    {"sWavFile", "C:\\WINDOWS\\Media\\chord.wav"},
    };
    for (const auto& [key, value] : defaults) {
        EXPECT_EQ(settings_.ReadSettingOrDefault(kSection, QString::fromUtf8(key),
                                                 QString::fromUtf8(value)),
                  QString::fromUtf8(value));
    }
    const std::pair<const char*, const char*> shutDown[] = {
        {"WindowState", "0"},
        {"x", "0"},
        {"y", "0"},
        {"w", "9600"},
        {"h", "7200"},
        {"optMes", "3"},
        {"optInput", "0"},
        {"txtInput 0", "25.4"},
        {"txtInput 1", "20"},
        {"txtInput 2", "15"},
        {"txtInput 3", "1000"},
        {"cmbSyosu", "1"},
        {"cmdWidth", "2"},
        {"cmbNiten", "0"},
        {"chkZahyoX", "1"},
        {"chkZahyoY", "0"},
        {"sWavFile", "D:\\s.wav"},
    };
    for (const auto& [key, value] : shutDown) {
        settings_.WriteSetting(kSection, QString::fromUtf8(key), QString::fromUtf8(value));
    }
    EXPECT_EQ(ReadBytes(ini_), QByteArray("[frmTab]\r\n"
                                          "txtInput 0=25.4\r\n"
                                          "txtInput 1=20\r\n"
                                          "txtInput 2=15\r\n"
                                          "txtInput 3=1000\r\n"
                                          "cmbSyosu=1\r\n"
                                          "cmdWidth=2\r\n"
                                          "cmbNiten=0\r\n"
                                          "chkZahyoX=1\r\n"
                                          "chkZahyoY=0\r\n"
                                          "optMes=3\r\n"
                                          "optInput=0\r\n"
                                          "sWavFile=D:\\s.wav\r\n"
                                          "WindowState=0\r\n"
                                          "x=0\r\n"
                                          "y=0\r\n"
                                          "w=9600\r\n"
                                          "h=7200\r\n"));
}

TEST_F(CommonTest, long_value_is_cut_to_499_bytes_between_characters) {
    const QString values[] = {
        QString(600, u'a'), QString(200, u'あ'),        // 3 bytes each in UTF-8
        QStringLiteral("a") + QString(300, u'\u00e9'),  // 2 bytes each in UTF-8
        QString::fromUtf8("😀").repeated(150),           // surrogate pairs, 4 bytes
    };
    for (const QString& value : values) {
        settings_.WriteSetting(kSection, QStringLiteral("k"), value);
        const QString read = settings_.ReadSetting(kSection, QStringLiteral("k"), QString());
        EXPECT_TRUE(value.startsWith(read));
        EXPECT_LE(SystemBytes(read), Common::kMaxValueBytes);
        // The next whole character would not have fitted.
        if (read.size() < value.size()) {
            const qsizetype next = value.at(read.size()).isHighSurrogate() ? 2 : 1;
            EXPECT_GT(SystemBytes(value.left(read.size() + next)), Common::kMaxValueBytes);
        }
    }
    EXPECT_EQ(settings_.ReadSetting(kSection, QStringLiteral("absent"), QString(600, u'd')),
              QString(499, u'd'));
    if (QStringConverter::nameForEncoding(QStringConverter::System) == QStringLiteral("UTF-8")) {
        settings_.WriteSetting(kSection, QStringLiteral("k"), QString(200, u'あ'));
        EXPECT_EQ(settings_.ReadSetting(kSection, QStringLiteral("k"), QString()),
                  QString(166, u'あ'));
    }
}

TEST_F(CommonTest, cut_at_nul_keeps_what_comes_before_the_first_nul) {
    const QChar nul(u'\0');
    const std::pair<QString, QString> cases[] = {
        {QString(), QString()},
        {QStringLiteral("abc"), QStringLiteral("abc")},
        {QStringLiteral("ab") + nul + QStringLiteral("c") + nul, QStringLiteral("ab")},
        {nul + QStringLiteral("abc"), QString()},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(Common::CutAtNul(text), expected);
    }
}

TEST_F(CommonTest, missing_or_empty_value_brings_back_the_default_and_stores_it) {
    const QString sound = QStringLiteral("C:\\WINDOWS\\Media\\chord.wav");
    WriteBytes(ini_, "[frmTab]\r\nsWavFile=\r\noptDataDebug=api padlink\r\n");
    EXPECT_EQ(settings_.ReadSettingOrDefault(kSection, QStringLiteral("sWavFile"), sound), sound);
    EXPECT_EQ(
        settings_.ReadSettingOrDefault(kSection, QStringLiteral("optMes"), QStringLiteral("0")),
        QStringLiteral("0"));
    const QByteArray after(
        "[frmTab]\r\nsWavFile=C:\\WINDOWS\\Media\\chord.wav\r\n"
        "optDataDebug=api padlink\r\noptMes=0\r\n");
    EXPECT_EQ(ReadBytes(ini_), after);

    // A value that is there is returned as stored, letter case included,
    // and the file is not touched.
    EXPECT_EQ(settings_.ReadSettingOrDefault(kSection, QStringLiteral("OPTDATADEBUG"),
                                             QStringLiteral("Api Padlink")),
              QStringLiteral("api padlink"));
    EXPECT_EQ(ReadBytes(ini_), after);
}

TEST_F(CommonTest, unusable_file_gives_defaults_silently) {
    WriteBytes(dir_.filePath(QStringLiteral("plain")), "x");
    const Common broken(dir_.filePath(QStringLiteral("plain/Kalvor.INI")));
    EXPECT_EQ(broken.ReadSetting(kSection, QStringLiteral("optDataDebug"), QString()), QString());
    EXPECT_EQ(
        broken.ReadSettingOrDefault(kSection, QStringLiteral("txtInput 3"), QStringLiteral("800")),
        QStringLiteral("800"));
    broken.WriteSetting(kSection, QStringLiteral("x"), QStringLiteral("0"));

    if (PermissionsAreIgnored()) {
        GTEST_SKIP() << "permissions do not bind root";
    }
    WriteBytes(ini_, "[frmTab]\r\ntxtInput 3=1000\r\n");
    ASSERT_TRUE(QFile::setPermissions(ini_, QFileDevice::WriteOwner));
    EXPECT_EQ(settings_.ReadSetting(kSection, QStringLiteral("txtInput 3"), QStringLiteral("800")),
              QStringLiteral("800"));
    QFile::setPermissions(ini_, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(ReadBytes(ini_), QByteArray("[frmTab]\r\ntxtInput 3=1000\r\n"));
}

}  // namespace
