#include <gtest/gtest.h>

#include <QStringConverter>
#include <QTemporaryDir>

#include "CodePage.h"
#include "shell/Common.h"
#include "QStringPrinter.h"
#include "SettingsTestFiles.h"

namespace {

class CommonTest : public ::testing::Test {
  protected:
    QString OrDefault(const QString& key, const QString& value) {
        return settings_.ReadSettingOrDefault(kWindowSection, key, value);
    }
    QString Read(const QString& key, const QString& value = {}) const {
        return settings_.ReadSetting(kWindowSection, key, value);
    }
    void Write(const QString& key, const QString& value) {
        settings_.WriteSetting(kWindowSection, key, value);
    }

    QTemporaryDir dir_;
    const QString ini_ = dir_.filePath(QStringLiteral("Kalvor.INI"));
    Common settings_{ini_};
};

qsizetype SystemBytes(const QString& text) {
    QStringEncoder encoder(QStringConverter::System);
    return QByteArray(encoder.encode(text)).size();
}

// Start-up reads (and so writes) the twelve defaults in its order; shut-down
// then replaces them in place and appends the five window keys.
TEST_F(CommonTest, first_start_and_exit_leave_seventeen_keys_in_table_order) {
    const QString defaults = QStringLiteral(
        "txtInput 0=10;txtInput 1=20;txtInput 2=15;txtInput 3=800;cmbSyosu=2;cmdWidth=2;"
        "cmbNiten=0;chkZahyoX=0;chkZahyoY=0;optMes=0;optInput=1;"
        "sWavFile=C:\\WINDOWS\\Media\\chord.wav");
    for (const QString& entry : defaults.split(u';')) {
        const QStringList setting = entry.split(u'=');
        EXPECT_EQ(OrDefault(setting[0], setting[1]), setting[1]);
    }
    const QString shutDown = QStringLiteral(
        "WindowState=0;x=0;y=0;w=9600;h=7200;optMes=3;optInput=0;txtInput 0=25.4;txtInput 1=20;"
        "txtInput 2=15;txtInput 3=1000;cmbSyosu=1;cmdWidth=2;cmbNiten=0;chkZahyoX=1;chkZahyoY=0;"
        "sWavFile=D:\\s.wav");
    for (const QString& entry : shutDown.split(u';')) {
        const QStringList setting = entry.split(u'=');
        Write(setting[0], setting[1]);
    }
    EXPECT_EQ(ReadBytes(ini_),
              QByteArray("[frmTab]\r\n"
                         "txtInput 0=25.4\r\ntxtInput 1=20\r\ntxtInput 2=15\r\ntxtInput 3=1000\r\n"
                         "cmbSyosu=1\r\ncmdWidth=2\r\ncmbNiten=0\r\nchkZahyoX=1\r\nchkZahyoY=0\r\n"
                         "optMes=3\r\noptInput=0\r\nsWavFile=D:\\s.wav\r\n"
                         "WindowState=0\r\nx=0\r\ny=0\r\nw=9600\r\nh=7200\r\n"));
}

TEST_F(CommonTest, long_value_is_cut_to_499_bytes_between_characters) {
    const QString values[] = {
        QString(600, u'a'),
        QString(200, u'あ'),                            // 3 bytes each in UTF-8
        QString(300, u'あ'),                            // 2 each in Shift-JIS: 249 fit
        QStringLiteral("a") + QString(300, u'\u00e9'),  // 2 bytes each in UTF-8
        QString::fromUtf8("😀").repeated(150),           // surrogate pairs, 4 bytes
    };
    for (const QString& value : values) {
        // A character the system code page has no place for (Japanese on a
        // Western Windows, an emoji in any ANSI code page) cannot be stored.
        if (!SystemCodePageHolds(value)) continue;
        Write("k", value);
        const QString read = Read("k");
        EXPECT_TRUE(value.startsWith(read));
        EXPECT_LE(SystemBytes(read), Common::kMaxValueBytes);
        // The next whole character would not have fitted.
        if (read.size() < value.size()) {
            const qsizetype next = value.at(read.size()).isHighSurrogate() ? 2 : 1;
            EXPECT_GT(SystemBytes(value.left(read.size() + next)), Common::kMaxValueBytes);
        }
    }
    EXPECT_EQ(Read("absent", QString(600, u'd')), QString(499, u'd'));
    if (QStringConverter::nameForEncoding(QStringConverter::System) == QStringLiteral("UTF-8")) {
        Write("k", QString(200, u'あ'));
        EXPECT_EQ(Read("k"), QString(166, u'あ'));
    }
}

// The file is in the system's code page: Shift-JIS on a Japanese Windows,
// where the second byte of "表" and "ソ" is the backslash's 0x5C.
TEST_F(CommonTest, japanese_sound_path_is_stored_in_the_system_code_page_and_reads_back) {
    const QString path = QString::fromUtf8("D:\\計測表\\ソナー音.wav");
    struct Form {
        unsigned codePage;
        QByteArray bytes;
    };
    const Form forms[] = {
        {932, QByteArray::fromHex("443a5c8c7691aa955c5c835c8369815b89b92e776176")},
        {65001, path.toUtf8()},
    };
    if (ExpectedCodePage() != 0) {
        ASSERT_EQ(SystemCodePage(), ExpectedCodePage());
    }
    const Form* form = nullptr;
    for (const Form& f : forms)
        if (f.codePage == SystemCodePage()) form = &f;
    if (form == nullptr) GTEST_SKIP() << "code page " << SystemCodePage() << " holds no Japanese";

    Write("sWavFile", path);
    EXPECT_EQ(ReadBytes(ini_), "[frmTab]\r\nsWavFile=" + form->bytes + "\r\n");
    EXPECT_EQ(Read("sWavFile"), path);
    EXPECT_EQ(OrDefault("sWavFile", QStringLiteral("C:\\WINDOWS\\Media\\chord.wav")), path);
}

TEST_F(CommonTest, cut_at_nul_keeps_what_comes_before_the_first_nul) {
    const QChar nul(u'\0');
    EXPECT_EQ(Common::CutAtNul(QString()), QString());
    EXPECT_EQ(Common::CutAtNul(QStringLiteral("abc")), QStringLiteral("abc"));
    EXPECT_EQ(Common::CutAtNul(QStringLiteral("ab") + nul + QStringLiteral("c") + nul),
              QStringLiteral("ab"));
    EXPECT_EQ(Common::CutAtNul(nul + QStringLiteral("abc")), QString());
}

TEST_F(CommonTest, missing_or_empty_value_brings_back_the_default_and_stores_it) {
    const QString sound = QStringLiteral("C:\\WINDOWS\\Media\\chord.wav");
    ASSERT_TRUE(WriteBytes(ini_, "[frmTab]\r\nsWavFile=\r\noptDataDebug=api padlink\r\n"));
    EXPECT_EQ(OrDefault("sWavFile", sound), sound);
    EXPECT_EQ(OrDefault("optMes", "0"), "0");
    const QByteArray after(
        "[frmTab]\r\nsWavFile=C:\\WINDOWS\\Media\\chord.wav\r\n"
        "optDataDebug=api padlink\r\noptMes=0\r\n");
    EXPECT_EQ(ReadBytes(ini_), after);

    // A value that is there is returned as stored, letter case included,
    // and the file is not touched.
    EXPECT_EQ(OrDefault("OPTDATADEBUG", "Api Padlink"), QStringLiteral("api padlink"));
    EXPECT_EQ(ReadBytes(ini_), after);
}

TEST_F(CommonTest, unusable_file_gives_defaults_silently) {
    ASSERT_TRUE(WriteBytes(dir_.filePath(QStringLiteral("plain")), "x"));
    Common broken(dir_.filePath(QStringLiteral("plain/Kalvor.INI")));
    EXPECT_EQ(broken.ReadSetting(kWindowSection, QStringLiteral("optDataDebug"), QString()),
              QString());
    EXPECT_EQ(broken.ReadSettingOrDefault(kWindowSection, QStringLiteral("txtInput 3"),
                                          QStringLiteral("800")),
              QStringLiteral("800"));
    broken.WriteSetting(kWindowSection, QStringLiteral("x"), QStringLiteral("0"));
}

}  // namespace
