// The crash loop's verdict rests on this reading of the autosave: a torn or
// emptied file must never read as whole, and a value must count as kept
// only where it stands in its own cell.

#include <gtest/gtest.h>

#include "QStringPrinter.h"
#include "SaveTable.h"

namespace {

struct ReadCase {
    const char* name;
    QByteArray bytes;
    bool torn;
    int values;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class SaveTableRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(SaveTableRead, tells_a_whole_file_from_a_torn_one) {
    const ReadCase& c = GetParam();
    const SaveTable table = SaveTable::Read(c.bytes, {QStringLiteral("メモ")});
    EXPECT_EQ(table.Torn(), c.torn) << table.Problem().toStdString();
    EXPECT_EQ(table.ValueCount(), c.values);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveTableRead,
    ::testing::Values(
        ReadCase{"empty_grid", "", false, 0},
        ReadCase{"gaps_and_a_short_last_line", "12.50,3.00\r\n7.25,\r\n", false, 3},
        ReadCase{"lines_of_separators_only", ",\r\n,\r\n,4.0\r\n", false, 1},
        ReadCase{"forms_of_numbers_and_a_typed_text", ".50,-3,1250\r\nメモ,,0\r\n", false, 5},
        ReadCase{"cut_inside_a_field", "12.50,3.00\r\n7.2", true, 0},
        ReadCase{"cut_between_CR_and_LF", "12.50,3.00\r", true, 0},
        ReadCase{"cut_at_a_line_end_inside_the_rectangle", "1,2\r\n3\r\n", true, 0},
        ReadCase{"zeros_of_an_unwritten_block", QByteArray("1.00,\0\0\r\n", 9), true, 0},
        ReadCase{"lone_line_feeds", "1.00\n2.00\n", true, 0},
        ReadCase{"unknown_text", "1.00,abc\r\n", true, 0},
        ReadCase{"broken_utf8", "1.00,\xE3\x83\r\n", true, 0},
        ReadCase{"blank_last_line", "1,2\r\n,\r\n", true, 0},
        ReadCase{"blank_last_column", "1,\r\n2,\r\n", true, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct MissingCase {
    const char* name;
    QByteArray before;
    QByteArray after;
    int decimals;
    int missing;
};

void PrintTo(const MissingCase& c, std::ostream* os) { *os << c.name; }

class SaveTableMissing : public ::testing::TestWithParam<MissingCase> {};

TEST_P(SaveTableMissing, counts_values_not_in_their_own_cell) {
    const MissingCase& c = GetParam();
    const QStringList texts = {QStringLiteral("メモ"), QStringLiteral("1.2.3")};
    const SaveTable before = SaveTable::Read(c.before, texts);
    const SaveTable after = SaveTable::Read(c.after, texts);
    ASSERT_FALSE(before.Torn() || after.Torn());
    EXPECT_EQ(after.Missing(before, c.decimals).size(), c.missing)
        << after.Missing(before, c.decimals).join(QStringLiteral("; ")).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveTableMissing,
    ::testing::Values(
        MissingCase{"same_bytes", "1.00,,3.00\r\n,2.00,\r\n", "1.00,,3.00\r\n,2.00,\r\n", 2, 0},
        MissingCase{"written_again_with_fewer_decimals", "12.35,.50\r\n", "12,1\r\n", 0, 0},
        MissingCase{"written_again_with_more_decimals", "12,3\r\n", "12.00000,3.00000\r\n", 5, 0},
        MissingCase{"rounded_past_half_a_unit", "12.35\r\n", "13\r\n", 0, 1},
        MissingCase{"a_grid_grown_around_the_values", "1,2\r\n", "1,2,\r\n,,7\r\n", 2, 0},
        MissingCase{"moved_one_cell_over", "1.00,\r\n,2.00\r\n", ",1.00\r\n2.00,\r\n", 2, 2},
        MissingCase{"the_last_line_gone", "1\r\n2\r\n3\r\n", "1\r\n2\r\n", 2, 1},
        MissingCase{"typed_texts_kept_exactly", "メモ,1.2.3\r\n", "メモ,1.2.3\r\n", 0, 0},
        MissingCase{"a_typed_text_is_not_a_number", "1.2.3\r\n", "1.23\r\n", 2, 1},
        MissingCase{"an_empty_file_keeps_nothing", "1,2\r\n3,4\r\n", "", 2, 4}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
