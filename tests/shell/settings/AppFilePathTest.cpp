#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "shell/AppFiles.h"
#include "QStringPrinter.h"

namespace {

struct Join {
    const char* directory;
    const char* name;
    const char* expected;
};

}  // namespace

// One separator between directory and name, none added after a directory
// that ends with one (a drive's or the file system's root); on Windows the
// path is written with backslashes, as the operator reads it.
TEST(AppFilePath, joins_with_one_separator_of_the_system) {
    const std::vector<Join> joins = {
#ifdef Q_OS_WIN
        {"C:/Kalvor", "Save.csv", "C:\\Kalvor\\Save.csv"},
        {"C:\\Kalvor\\", "Save.csv", "C:\\Kalvor\\Save.csv"},
        {"C:/", "err.dat", "C:\\err.dat"},
        {"C:\\", "err.dat", "C:\\err.dat"},
        {"//server/share/計測", "Save.csv", "\\\\server\\share\\計測\\Save.csv"},
#else
        {"/home/kalvor", "Save.csv", "/home/kalvor/Save.csv"},
        {"/home/kalvor/", "Save.csv", "/home/kalvor/Save.csv"},
        {"/", "err.dat", "/err.dat"},
#endif
    };
    for (const Join& j : joins) {
        EXPECT_EQ(AppFilePath(QString::fromUtf8(j.directory), QString::fromUtf8(j.name)),
                  QString::fromUtf8(j.expected))
            << j.directory;
    }
#ifdef Q_OS_WIN
    EXPECT_EQ(SettingsFilePath(QStringLiteral("D:/"), QStringLiteral("Kalvor080125")),
              QStringLiteral("D:\\Kalvor080125.INI"));
#endif
}

TEST(AppFilePath, joined_path_reaches_the_file_in_the_directory) {
    QTemporaryDir dir;
    const QString path = AppFilePath(dir.path(), QStringLiteral("err.dat"));
    QFile marker(path);
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly)) << path.toStdString();
    marker.write("err\r\n");
    marker.close();
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("err.dat"))));
    EXPECT_TRUE(QFile::remove(path));
}
