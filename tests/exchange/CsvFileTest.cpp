#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "FileBytes.h"
#include "CommitGate.h"
#include "CodePage.h"
#include "exchange/CsvFile.h"
#include "grid/GridModel.h"
#include "QStringPrinter.h"

namespace {

class CsvFileTest : public ::testing::Test {
  protected:
    void TearDown() override { SetBeforeCommitHookForTest(nullptr); }

    QString PathOf(const char* name) const { return dir_.filePath(QString::fromUtf8(name)); }

    QTemporaryDir dir_;
};

TEST_F(CsvFileTest, writes_text_table_with_commas_byte_for_byte) {
    GridModel grid;
    grid.SetTextMatrix(1, 1, QStringLiteral("12.50"));
    grid.SetTextMatrix(1, 2, QStringLiteral("3.00"));
    grid.SetTextMatrix(2, 1, QStringLiteral("7.25"));
    const QString path = PathOf("Save.csv");
    ASSERT_TRUE(WriteCsv(grid, path));
    EXPECT_EQ(ReadBytes(path), QByteArray("12.50,3.00\r\n7.25,\r\n"));

    GridModel lone;
    lone.SetTextMatrix(3, 2, QStringLiteral("4.0"));
    ASSERT_TRUE(WriteCsv(lone, path));
    EXPECT_EQ(ReadBytes(path), QByteArray(",\r\n,\r\n,4.0\r\n"));
}

TEST_F(CsvFileTest, empty_grid_truncates_existing_file_to_zero_bytes) {
    const QString path = PathOf("Save.csv");
    ASSERT_TRUE(WriteBytes(path, "old,content\r\n"));
    ASSERT_TRUE(WriteCsv(GridModel(), path));
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(QFile(path).size(), 0);
}

TEST_F(CsvFileTest, missing_directory_fails_and_creates_nothing) {
    const QString path = PathOf("missing/Save.csv");
    GridModel grid;
    grid.SetTextMatrix(1, 1, QStringLiteral("1.00"));
    EXPECT_FALSE(WriteCsv(grid, path));
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(CsvFileTest, writer_stopped_before_replace_leaves_old_file_intact) {
    const QString path = PathOf("Save.csv");
    const QByteArray old("1.00,2.00\r\n3.00,\r\n");
    ASSERT_TRUE(WriteBytes(path, old));

    bool hookRan = false;
    SetBeforeCommitHookForTest([&](const QString&) {
        hookRan = true;
        // The new content exists only under the temporary name by now.
        EXPECT_EQ(ReadBytes(path), old);
        return false;
    });
    GridModel grid;
    grid.SetTextMatrix(1, 1, QStringLiteral("9.99"));
    EXPECT_FALSE(WriteCsv(grid, path));

    EXPECT_TRUE(hookRan);
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("Save.csv")});
}

TEST_F(CsvFileTest, reader_rejects_what_is_not_a_readable_file) {
    EXPECT_FALSE(ReadTextTableFile(PathOf("absent.csv")).has_value());
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("Save.csv")));
    EXPECT_FALSE(ReadTextTableFile(PathOf("Save.csv")).has_value());
}

QByteArray SystemBytes(const char* utf8) {
    QStringEncoder encoder(QStringConverter::System);
    return encoder.encode(QString::fromUtf8(utf8));
}

struct ReadCase {
    const char* name;
    QByteArray bytes;
    const char* expected;
};

class ReadTextTable : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadTextTable, ends_every_line_with_cr_lf) {
    if (!SystemCodePageHolds(QString::fromUtf8(GetParam().expected)))
        GTEST_SKIP() << "code page " << SystemCodePage() << " cannot hold the text";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Save.csv"));
    ASSERT_TRUE(WriteBytes(path, GetParam().bytes));
    const std::optional<QString> text = ReadTextTableFile(path);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadTextTable,
    ::testing::Values(ReadCase{"zero_bytes", QByteArray(), ""},
                      ReadCase{"cr_lf_lines", "1,2\r\n3,\r\n", "1,2\r\n3,\r\n"},
                      ReadCase{"last_line_without_terminator", "1,2\r\n3,", "1,2\r\n3,\r\n"},
                      ReadCase{"cr_only_lines", "1,2\r3\r", "1,2\r\n3\r\n"},
                      ReadCase{"lf_only_lines", "1,2\n3\n", "1,2\r\n3\r\n"},
                      ReadCase{"empty_lines_kept", "\r\n\r\r\n1", "\r\n\r\n\r\n1\r\n"},
                      ReadCase{"lone_terminator", "\r\n", "\r\n"},
                      ReadCase{"system_code_page_text", SystemBytes("長さ,1\r\n"), "長さ,1\r\n"}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST_F(CsvFileTest, written_file_reads_back_unchanged) {
    if (!SystemCodePageHolds(QString::fromUtf8("面積")))
        GTEST_SKIP() << "code page " << SystemCodePage() << " holds no Japanese";
    GridModel grid;
    grid.SetTextMatrix(1, 1, QStringLiteral("12.50"));
    grid.SetTextMatrix(2, 3, QString::fromUtf8("面積"));
    const QString path = PathOf("Save.csv");
    ASSERT_TRUE(WriteCsv(grid, path));
    EXPECT_EQ(ReadTextTableFile(path),
              std::optional<QString>(QString::fromUtf8("12.50,,\r\n,,面積\r\n")));
}

// Japanese text goes to the file in the system's code page: Shift-JIS bytes
// on a Japanese Windows, where the program's files must stay readable by
// the other programs there.
TEST_F(CsvFileTest, japanese_cell_is_written_in_the_system_code_page) {
    struct Form {
        unsigned codePage;
        QByteArray bytes;
    };
    const Form forms[] = {
        {932, QByteArray::fromHex("96ca90cf") + ",1\r\n"},
        {65001, QByteArray("面積,1\r\n")},
    };
    if (ExpectedCodePage() != 0) {
        ASSERT_EQ(SystemCodePage(), ExpectedCodePage());
    }
    const Form* form = nullptr;
    for (const Form& f : forms)
        if (f.codePage == SystemCodePage()) form = &f;
    if (form == nullptr) GTEST_SKIP() << "code page " << SystemCodePage() << " holds no Japanese";

    GridModel grid;
    grid.SetTextMatrix(1, 1, QString::fromUtf8("面積"));
    grid.SetTextMatrix(1, 2, QStringLiteral("1"));
    const QString path = PathOf("Save.csv");
    ASSERT_TRUE(WriteCsv(grid, path));
    EXPECT_EQ(ReadBytes(path), form->bytes);
    EXPECT_EQ(ReadTextTableFile(path), std::optional<QString>(QString::fromUtf8("面積,1\r\n")));
}

}  // namespace
