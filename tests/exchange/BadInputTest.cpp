// Hostile text where the program takes text in: the clipboard and the
// autosave. Each case must end quickly, without a fault, and lose nothing
// that was valid.
#include <gtest/gtest.h>

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <functional>
#include <optional>
#include <vector>

#include "DefaultLocale.h"
#include "exchange/CsvFile.h"
#include "grid/GridModel.h"
#include "grid/NumberText.h"
#include "exchange/ParseIntoGrid.h"
#include "QStringPrinter.h"
#include "exchange/RestoreTable.h"

namespace {

QString Repeated(const QString& piece, qsizetype times) { return piece.repeated(times); }

struct PasteCase {
    const char* name;
    std::function<QString()> text;
    std::vector<double> firstValues;  // the first values handed on, in order
    int put;                          // all values handed on
};

TEST(BadInput, clipboard_text_pastes_what_reads_as_numbers_and_nothing_else) {
    const DefaultLocale japanese;
    const PasteCase cases[] = {
        {"10 MB of numbers", [] { return Repeated(QStringLiteral("1.5\t2.5\r\n"), 1100000); }, {1.5, 2.5}, 40},
        {"NUL bytes", [] { return QStringLiteral("1\t") + QChar(u'\0') + QStringLiteral("\t2\r\n"); }, {1, 2}, 2},
        {"invalid UTF-8", [] { return QString::fromUtf8("\xff\xfe\t3\xc3\r\n4"); }, {4}, 1},
        {"lone CR ends a line", [] { return QStringLiteral("5\r6"); }, {5, 6}, 2},
        {"a million tabs", [] { return Repeated(QStringLiteral("\t"), 1000000) + QStringLiteral("7"); }, {}, 0},
        {"overflow, not a number, minus zero",
         [] { return QStringLiteral("1e999\tnan\tinf\t-0\t8"); }, {0, 8}, 2},
        {"group separator", [] { return QStringLiteral("1,234.5"); }, {1234.5}, 1},
        {"full-width digits are text", [] { return QStringLiteral("１２３\t9"); }, {9}, 1},
    };
    for (const PasteCase& c : cases) {
        SCOPED_TRACE(c.name);
        GridModel grid(21, 16);
        std::vector<double> values;
        const PasteResult result = ParseIntoGrid(c.text(), QStringLiteral("\t"), grid, [&](double value) {
            values.push_back(value);
            grid.SetTextMatrix(grid.Row(), grid.Col(), FormatDecimals(value, 2));
        });
        ASSERT_GE(values.size(), c.firstValues.size());
        for (std::size_t i = 0; i < c.firstValues.size(); ++i) EXPECT_EQ(values[i], c.firstValues[i]);
        EXPECT_EQ(result.put, c.put);
        // The grid never grows, whatever the text.
        EXPECT_EQ(grid.Rows(), 21);
        EXPECT_EQ(grid.Cols(), 16);
    }
}

class BadAutosave : public ::testing::Test {
protected:
    // The autosave as start-up reads it: the file, its shape, its cells in
    // a grid of that shape (as far as the size limits allow).
    std::optional<GridModel> Load(const QByteArray& bytes, int maxRows = 10000, int maxCols = 1000) {
        const QString path = dir_.filePath(QStringLiteral("Save.csv"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) return {};
        file.close();
        const std::optional<QString> text = ReadTextTableFile(path);
        if (!text) return {};
        const TableShape shape = MeasureTable(*text, u',');
        GridModel grid(std::min(shape.rows, maxRows) + 1, std::min(shape.cols, maxCols) + 1);
        outside_ = RestoreTable(*text, u',', grid, 2).outside;
        return grid;
    }

    QTemporaryDir dir_;
    int outside_ = 0;
};

TEST_F(BadAutosave, garbage_loads_as_text_cells_without_a_fault) {
    QByteArray garbage;
    std::uint32_t state = 12345;
    for (int i = 0; i < 64 * 1024; ++i) {
        state = state * 1103515245u + 12345u;
        garbage += static_cast<char>(state >> 24);
    }
    const std::optional<GridModel> grid = Load(garbage);
    ASSERT_TRUE(grid);
    EXPECT_GT(grid->UsedRows(), 0);
}

// A file cut off at any byte (a disk that lost its tail) gives back every
// field that was whole, and nothing that was never there.
TEST_F(BadAutosave, a_file_truncated_at_every_byte_keeps_every_whole_field) {
    const QByteArray whole = "1.00,2.00,text\r\n,4.00\r\n5.00,,6.00\r\n";
    const QList<QByteArray> lines = whole.split('\n');
    for (qsizetype cut = 0; cut <= whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        const std::optional<GridModel> grid = Load(whole.left(cut));
        ASSERT_TRUE(grid);
        qsizetype lineStart = 0;
        for (int row = 1; row <= 3; ++row) {
            const QList<QByteArray> fields = lines[row - 1].trimmed().split(',');
            qsizetype fieldStart = lineStart;
            for (int col = 1; col <= fields.size(); ++col) {
                const QByteArray& field = fields[col - 1];
                const qsizetype fieldEnd = fieldStart + field.size();
                if (cut >= fieldEnd) {
                    EXPECT_EQ(grid->TextMatrix(row, col), QString::fromLatin1(field)) << row << "," << col;
                } else if (fieldStart >= cut) {
                    EXPECT_EQ(grid->TextMatrix(row, col), QString()) << row << "," << col;
                }
                fieldStart = fieldEnd + 1;
            }
            lineStart += lines[row - 1].size() + 1;
        }
        EXPECT_LE(grid->UsedRows(), 3);
    }
}

TEST_F(BadAutosave, only_cr_lf_ends_a_line_of_the_table_a_lone_cr_is_text) {
    GridModel grid(4, 4);
    RestoreTable(u"a\rb,1\r\nx\r", u',', grid, 2);
    EXPECT_EQ(grid.TextMatrix(1, 1), QStringLiteral("a\rb"));
    EXPECT_EQ(grid.TextMatrix(1, 2), QStringLiteral("1.00"));
    EXPECT_EQ(grid.TextMatrix(2, 1), QStringLiteral("x\r"));
}

TEST_F(BadAutosave, fifty_megabytes_load_up_to_the_size_limits_and_count_the_rest) {
    const QByteArray line = QByteArray("12.34,").repeated(99) + "12.34\r\n";
    const QByteArray big = line.repeated(50 * 1024 * 1024 / line.size() + 1);
    const std::optional<GridModel> grid = Load(big, 10000, 1000);
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->UsedRows(), 10000);
    EXPECT_EQ(grid->UsedCols(), 100);
    EXPECT_EQ(grid->TextMatrix(10000, 100), QStringLiteral("12.34"));
    EXPECT_EQ(outside_, (big.size() / line.size() - 10000) * 100);
}

}  // namespace
