// Settings files no program of ours wrote: huge, headless, repeated,
// binary. Reads must answer sensibly and writes keep every other byte.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "shell/IniFile.h"
#include "QStringPrinter.h"

namespace {

class BadIni : public ::testing::Test {
protected:
    QString WriteFile(const QByteArray& bytes) {
        QFile file(path_);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path_;
    }
    QByteArray Bytes() const {
        QFile file(path_);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
    QString path_ = dir_.filePath(QStringLiteral("Kalvor.INI"));
};

TEST_F(BadIni, ten_thousand_keys_read_and_write_in_place) {
    QByteArray bytes = "[Setting]\r\n";
    for (int i = 0; i < 10000; ++i) bytes += "Key" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\r\n";
    IniFile ini(WriteFile(bytes));
    EXPECT_EQ(ini.Read(QStringLiteral("Setting"), QStringLiteral("Key9999")), QStringLiteral("9999"));
    ASSERT_TRUE(ini.Write(QStringLiteral("Setting"), QStringLiteral("Key5000"), QStringLiteral("x")));
    QByteArray expected = bytes;
    expected.replace("\r\nKey5000=5000\r\n", "\r\nKey5000=x\r\n");
    EXPECT_EQ(Bytes(), expected);
}

TEST_F(BadIni, keys_above_any_header_belong_to_no_section_and_stay) {
    const QByteArray bytes = "Scale=99\r\nloose line\r\n";
    IniFile ini(WriteFile(bytes));
    EXPECT_FALSE(ini.Read(QStringLiteral("Setting"), QStringLiteral("Scale")));
    ASSERT_TRUE(ini.Write(QStringLiteral("Setting"), QStringLiteral("Scale"), QStringLiteral("10")));
    EXPECT_EQ(Bytes(), bytes + "[Setting]\r\nScale=10\r\n");
}

TEST_F(BadIni, a_duplicated_key_reads_and_writes_its_first_line) {
    const QByteArray bytes = "[Setting]\r\nDecimals=3\r\nDecimals=1\r\n[Setting]\r\nDecimals=4\r\n";
    IniFile ini(WriteFile(bytes));
    EXPECT_EQ(ini.Read(QStringLiteral("Setting"), QStringLiteral("Decimals")), QStringLiteral("3"));
    ASSERT_TRUE(ini.Write(QStringLiteral("Setting"), QStringLiteral("Decimals"), QStringLiteral("2")));
    EXPECT_EQ(Bytes(), "[Setting]\r\nDecimals=2\r\nDecimals=1\r\n[Setting]\r\nDecimals=4\r\n");
}

TEST_F(BadIni, binary_bytes_in_other_lines_survive_a_write) {
    const QByteArray binary("\x00\x01\xff\xfe[=]\x80", 8);
    const QByteArray bytes = "[Setting]\r\n" + binary + "\r\nRows=20\r\n";
    IniFile ini(WriteFile(bytes));
    EXPECT_EQ(ini.Read(QStringLiteral("Setting"), QStringLiteral("Rows")), QStringLiteral("20"));
    ASSERT_TRUE(ini.Write(QStringLiteral("Setting"), QStringLiteral("Rows"), QStringLiteral("30")));
    EXPECT_EQ(Bytes(), "[Setting]\r\n" + binary + "\r\nRows=30\r\n");
}

}  // namespace
