#include "figures/FigureFile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "QStringPrinter.h"
#include "grid/GridModel.h"

namespace {

std::shared_ptr<KeptFigure> Traced(int points) {
    auto f = std::make_shared<KeptFigure>();
    f->mode = FigureMode::TracedArea;
    for (int i = 0; i < points; ++i) f->points.push_back({i * 7 - 300, -i * 3});
    f->referenceLength = QStringLiteral("12000");
    f->tabletLength = QStringLiteral("960");
    f->verticalFactor = 1.0 / 3.0;
    f->unit = QStringLiteral("m");
    f->countsPerMm = 80;
    f->source = FigureSourceKind::Drawing;
    // Every character the format escapes, and Japanese.
    f->sourceName = QStringLiteral("/図面/a\tb%0A\r\n平面図.pdf");
    f->page = 3;
    f->timeMs = 1'796'000'000'123;
    f->value = QStringLiteral("124.50");
    if (points >= 5) f->arcMiddles = {1, 3};
    return f;
}

void Put(GridModel& grid, int row, int col, const std::shared_ptr<KeptFigure>& figure) {
    grid.SetTextMatrix(row, col, figure->value);
    ASSERT_TRUE(grid.SetTag(row, col, figure));
}

TEST(FigureFile, every_field_of_every_figure_reads_back_as_written) {
    GridModel grid(20, 7);
    const auto traced = Traced(1000);
    auto point = std::make_shared<KeptFigure>();
    point->mode = FigureMode::Coordinate;
    point->points = {{2147483647, -2147483647 - 1}};
    point->source = FigureSourceKind::Tablet;
    point->sourceName = QStringLiteral("Wacom Intuos Pro M Pen");
    point->value = QStringLiteral("-5.00");
    Put(grid, 4, 2, traced);
    Put(grid, 1, 6, point);
    grid.SetTextMatrix(2, 2, QStringLiteral("typed"));  // no figure: not written

    const QByteArray bytes = FigureFileBytes(grid);
    EXPECT_TRUE(bytes.startsWith("Kalvor figures 2\n"));
    EXPECT_EQ(bytes.count('\n'), 3) << "the header and one line a figure";

    const FigureFileContent read = ParseFigureFile(bytes);
    EXPECT_TRUE(read.problems.isEmpty()) << read.problems.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(read.figures.size(), 2u);
    EXPECT_EQ(read.figures[0].row, 1) << "in the order of the cells";
    const KeptFigureAt& back = read.figures[1];
    EXPECT_EQ(std::make_pair(back.row, back.col), std::make_pair(4, 2));
    const KeptFigure& f = *back.figure;
    EXPECT_EQ(f.mode, traced->mode);
    ASSERT_EQ(f.points.size(), traced->points.size());
    EXPECT_EQ(f.points.back().x, traced->points.back().x);
    EXPECT_EQ(f.points.back().y, traced->points.back().y);
    EXPECT_EQ(f.referenceLength, traced->referenceLength);
    EXPECT_EQ(f.tabletLength, traced->tabletLength);
    EXPECT_EQ(f.verticalFactor, traced->verticalFactor) << "exactly, not rounded";
    EXPECT_EQ(f.unit, traced->unit);
    EXPECT_EQ(f.countsPerMm, 80);
    EXPECT_EQ(f.arcMiddles, (std::vector<std::int32_t>{1, 3}));
    EXPECT_EQ(f.source, traced->source);
    EXPECT_EQ(f.sourceName, traced->sourceName);
    EXPECT_EQ(f.page, 3);
    EXPECT_EQ(f.timeMs, traced->timeMs);
    EXPECT_EQ(f.value, traced->value);
    EXPECT_EQ(read.figures[0].figure->points[0].y, -2147483647 - 1);

    EXPECT_EQ(ParseFigureFile(bytes).figures.size(), 2u);
    GridModel other(20, 7);
    EXPECT_EQ(FigureFileBytes(other), QByteArray("Kalvor figures 2\n"));
}

TEST(FigureFile, a_bad_line_is_reported_by_its_number_and_skipped) {
    GridModel grid(20, 7);
    Put(grid, 3, 3, Traced(3));
    const QByteArray good = FigureFileBytes(grid).split('\n')[1];
    auto with = [&](int field, const QByteArray& text) {
        QList<QByteArray> fields = good.split('\t');
        fields[field] = text;
        return fields.join('\t');
    };
    const struct {
        const char* name;
        QByteArray line;
    } bad[] = {
        {"row 0", with(0, "0")},
        {"row past any grid", with(0, "10001")},
        {"column not a number", with(1, "x")},
        {"empty value", with(2, "")},
        {"broken escape", with(2, "1%2")},
        {"unknown mode", with(3, "arc")},
        {"no time", with(4, "yesterday")},
        {"factor 0", with(7, "0")},
        {"factor not finite", with(7, "inf")},
        {"counts per millimetre not a number", with(9, "NaN")},
        {"unknown source", with(10, "scanner")},
        {"negative page", with(11, "-1")},
        {"no point", with(13, "")},
        {"half a point", with(13, "1,2 3")},
        {"a point out of range", with(13, "1,2 3,99999999999")},
        {"a trailing space", with(13, "1,2 ")},
        {"an arc without an end", with(14, "2")},
        {"arcs sharing a pick", with(14, "1 2")},
        {"an arc at the first pick", with(14, "0")},
        {"a sign neither plus nor minus", with(15, "x")},
        {"a negative part", with(16, "-1")},
        {"a sum's figure after a gap", with(16, "2")},
        {"a field short", good.left(good.lastIndexOf('\t'))},
        {"a field more", good + "\t1"},
        {"not even a line", "\x01\xff\xfe"},
    };
    QByteArray file = "Kalvor figures 2\r\n" + good + "\n";
    for (const auto& b : bad) file += b.line + "\n";
    file += good;  // the last line without LF
    const FigureFileContent read = ParseFigureFile(file);
    EXPECT_EQ(read.figures.size(), 2u) << "the good lines around the bad ones";
    ASSERT_EQ(read.problems.size(), static_cast<qsizetype>(std::size(bad)));
    for (std::size_t i = 0; i < std::size(bad); ++i) {
        EXPECT_TRUE(read.problems[static_cast<qsizetype>(i)].startsWith(
            QStringLiteral("line %1:").arg(i + 3)))
            << bad[i].name << ": " << read.problems[static_cast<qsizetype>(i)].toStdString();
    }
}

TEST(FigureFile, a_sums_figures_read_back_with_their_cell_in_order_holes_marked) {
    GridModel grid(20, 7);
    auto sum = Traced(4);
    sum->parts.push_back(*Traced(6));
    sum->parts.back().minus = true;
    sum->parts.back().value.clear();
    sum->parts.push_back(*Traced(3));
    sum->parts.back().value.clear();
    Put(grid, 5, 1, sum);
    Put(grid, 6, 1, Traced(3));

    const FigureFileContent read = ParseFigureFile(FigureFileBytes(grid));
    EXPECT_TRUE(read.problems.isEmpty()) << read.problems.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(read.figures.size(), 2u) << "one entry a cell, however many figures its sum has";
    const KeptFigure& back = *read.figures[0].figure;
    EXPECT_EQ(back.value, sum->value);
    ASSERT_EQ(back.parts.size(), 2u);
    EXPECT_EQ(back.parts[0].points.size(), 6u);
    EXPECT_TRUE(back.parts[0].minus);
    EXPECT_FALSE(back.parts[1].minus);
    EXPECT_EQ(back.parts[1].points.size(), 3u);
    EXPECT_TRUE(read.figures[1].figure->parts.empty());
}

TEST(FigureFile, a_file_of_the_first_version_is_still_read) {
    GridModel grid(20, 7);
    Put(grid, 3, 3, Traced(3));
    QList<QByteArray> lines = FigureFileBytes(grid).split('\n');
    QList<QByteArray> fields = lines[1].split('\t');
    fields.resize(15);
    const QByteArray v1 = "Kalvor figures 1\n" + fields.join('\t') + "\n";
    const FigureFileContent read = ParseFigureFile(v1);
    EXPECT_TRUE(read.problems.isEmpty()) << read.problems.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(read.figures.size(), 1u);
    EXPECT_FALSE(read.figures[0].figure->minus);
    EXPECT_EQ(read.figures[0].figure->points.size(), 3u);
    EXPECT_EQ(ParseFigureFile("Kalvor figures 1\n" + lines[1]).problems.size(), 1)
        << "a line of the new version in a file of the old";
}

TEST(FigureFile, times_are_written_in_utc_with_z_and_read_in_the_forms_files_have) {
    GridModel grid(20, 7);
    auto figure = Traced(3);
    figure->timeMs = 1'796'000'000'123;  // 2026-11-30T00:53:20.123Z
    Put(grid, 3, 3, figure);
    QList<QByteArray> fields = FigureFileBytes(grid).split('\n')[1].split('\t');
    EXPECT_EQ(fields[4], QByteArray("2026-11-30T00:53:20.123Z"));
    const struct {
        const char* text;
        std::int64_t ms;  // 0: not a time
    } cases[] = {
        {"2026-11-30T00:53:20.123Z", 1'796'000'000'123},
        {"2026-11-30T00:53:20.123+00:00", 1'796'000'000'123},  // as the first files have it
        {"2026-11-30T01:53:20.123+01:00", 1'796'000'000'123},
        {"1969-12-31T23:59:59.999Z", -1},
        {"2026-02-30T00:00:00.000Z", 0},
        {"2026-11-30T25:00:00.000Z", 0},
        {"2026-13-30T00:53:20.123Z", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        fields[4] = c.text;
        const FigureFileContent read = ParseFigureFile("Kalvor figures 2\n" + fields.join('\t'));
        ASSERT_EQ(read.figures.size(), c.ms != 0 ? 1u : 0u);
        if (c.ms != 0) {
            EXPECT_EQ(read.figures[0].figure->timeMs, c.ms);
        }
    }
}

TEST(FigureFile, a_file_not_of_this_version_is_refused_whole) {
    for (const QByteArray& bytes : {QByteArray(), QByteArray("Kalvor figures 3\n1\t1"),
                                    QByteArray("row,col\n"), QByteArray("\xef\xbb\xbfKalvor figures 1\n")}) {
        const FigureFileContent read = ParseFigureFile(bytes);
        EXPECT_TRUE(read.figures.empty());
        EXPECT_EQ(read.problems.size(), 1);
    }
}

TEST(FigureFile, a_figure_goes_back_only_into_a_cell_that_holds_its_value_again) {
    GridModel saved(20, 7);
    Put(saved, 2, 2, Traced(4));
    auto other = Traced(5);
    other->value = QStringLiteral("7.00");
    Put(saved, 3, 2, other);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Save.figures"));
    ASSERT_TRUE(WriteFigureFile(saved, path).ok);

    GridModel recovered(20, 7);
    recovered.SetTextMatrix(2, 2, QStringLiteral("124.50"));
    recovered.SetTextMatrix(3, 2, QStringLiteral("8.00"));  // the value the autosave kept differs
    const FigureFileContent read = ReadFigureFile(path);
    EXPECT_EQ(RestoreFigures(read, recovered), 1);
    EXPECT_NE(recovered.Tag(2, 2), nullptr);
    EXPECT_EQ(recovered.Tag(3, 2), nullptr);

    EXPECT_TRUE(ReadFigureFile(dir.filePath(QStringLiteral("none"))).problems.isEmpty())
        << "no file is no figure, not a problem";
}

TEST(FigureFile, a_value_written_again_with_other_decimals_at_recovery_keeps_its_figure) {
    GridModel saved(20, 7);
    Put(saved, 2, 2, Traced(4));  // "124.50"
    const FigureFileContent read = ParseFigureFile(FigureFileBytes(saved));
    const struct {
        const char* cell;
        int decimals;
        bool back;
    } cases[] = {
        {"124.5", 1, true},    {"124.500", 3, true}, {"125", 0, true},
        {"124.6", 1, false},   {"124.50", 2, true},  {"124.5", 2, false},
        {"124.5", -1, false},  {"メモ", 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.cell) + " with " + std::to_string(c.decimals));
        GridModel recovered(20, 7);
        recovered.SetTextMatrix(2, 2, QString::fromUtf8(c.cell));
        EXPECT_EQ(RestoreFigures(read, recovered, c.decimals), c.back ? 1 : 0);
        const auto* figure = dynamic_cast<const KeptFigure*>(recovered.Tag(2, 2).get());
        if (c.back && figure != nullptr) {
            EXPECT_EQ(figure->value, QString::fromUtf8(c.cell)) << "the figure takes the new form";
        }
    }
}

}  // namespace
