#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "files/FileReason.h"
#include "QStringPrinter.h"

namespace {

TEST(FileReason, the_common_causes_are_told_in_japanese_and_the_rest_in_the_systems_words) {
    struct Case {
        const char* name;
        int error;
        unsigned long windowsError;
        const char* reason;
    };
    const Case cases[] = {
        {"no_permission", EACCES, 5, "書き込む権限がありません"},
        {"not_permitted", EPERM, 5, "書き込む権限がありません"},
        {"read_only", EROFS, 19, "読み取り専用の場所です"},
        {"disk_full", ENOSPC, 112, "ディスクの空きが足りません"},
        {"missing_folder", ENOENT, 3, "フォルダーがありません"},
        {"name_too_long", ENAMETOOLONG, 206, "ファイルの名前が長すぎます"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FileReason(c.error, QStringLiteral("system")), QString::fromUtf8(c.reason));
        EXPECT_EQ(WindowsFileReason(c.windowsError, QStringLiteral("system")),
                  QString::fromUtf8(c.reason));
    }
    // Last resort: the system's text.
    EXPECT_EQ(FileReason(EIO), QString::fromLocal8Bit(std::strerror(EIO)));
    EXPECT_EQ(FileReason(0, QStringLiteral("Unknown error")), QStringLiteral("Unknown error"));
    EXPECT_EQ(WindowsFileReason(1117, QStringLiteral("I/O")), QStringLiteral("I/O"));
}

}  // namespace
