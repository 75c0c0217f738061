// The autosave on its own: why a write fails is told once and kept until one
// succeeds, and a held autosave waits. The run marker and the recovery:
// WindowLifecycleTest, through the window.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "FileBytes.h"
#include "figures/FigureFile.h"
#include "grid/GridModel.h"
#include "shell/Autosave.h"

namespace {

struct AutosaveTest : ::testing::Test {
    QTemporaryDir dir;
    GridModel grid{3, 3};
    int told = 0;
    Autosave autosave{dir.path(), true, [this] { ++told; }};

    // A measured value with its figure, a square of `side` counts.
    std::shared_ptr<KeptFigure> Measure(GridModel& into, int row, int col, const QString& value,
                                        int side) {
        auto figure = std::make_shared<KeptFigure>();
        figure->mode = FigureMode::PickedArea;
        figure->points = {{0, 0}, {side, 0}, {side, side}, {0, side}};
        figure->value = value;
        into.SetTextMatrix(row, col, value);
        EXPECT_TRUE(into.SetTag(row, col, figure));
        return figure;
    }
    // What a start after a crash brings back from the files on disk.
    std::pair<QString, const KeptFigure*> Recovered(GridModel& fresh) {
        Autosave next(dir.path(), true, [] {});
        const std::optional<QString> text = next.ReadBack(next.Path());
        if (text) fresh.SetTextMatrix(1, 1, text->section(QLatin1Char(','), 0, 0).trimmed());
        next.RestoreFigures(fresh, 2);
        return {fresh.TextMatrix(1, 1), dynamic_cast<const KeptFigure*>(fresh.Tag(1, 1).get())};
    }
};

TEST_F(AutosaveTest, a_failed_write_is_told_once_and_kept_until_one_succeeds) {
    ASSERT_TRUE(QDir().mkdir(autosave.Path()));  // a folder in the file's place
    autosave.Write(grid);
    autosave.Write(grid);
    EXPECT_EQ(told, 1);
    EXPECT_TRUE(autosave.Problem().contains(QDir::toNativeSeparators(autosave.Path())));
    ASSERT_TRUE(QDir().rmdir(autosave.Path()));
    grid.SetTextMatrix(1, 1, QStringLiteral("1.00"));
    autosave.Write(grid);
    EXPECT_EQ(told, 2);
    EXPECT_TRUE(autosave.Problem().isEmpty());
    EXPECT_EQ(ReadBytes(autosave.Path()), QByteArray("1.00\r\n"));
}

TEST_F(AutosaveTest, a_held_autosave_writes_nothing_until_written_again) {
    autosave.Hold(true);
    grid.SetTextMatrix(1, 1, QStringLiteral("2.00"));
    autosave.Write(grid);
    EXPECT_FALSE(QFile::exists(autosave.Path()));
    autosave.Hold(false);
    autosave.Write(grid);
    EXPECT_EQ(ReadBytes(autosave.Path()), QByteArray("2.00\r\n"));
}

// A kill after the figures file is replaced and before the autosave is
// leaves the older values on disk: their figures must still be there.
TEST_F(AutosaveTest, a_crash_between_the_two_files_finds_the_figures_of_the_older_values) {
    const auto first = Measure(grid, 1, 1, QStringLiteral("100.00"), 800);
    autosave.Write(grid);
    const QString kept = autosave.Path() + QStringLiteral(".kept");
    ASSERT_TRUE(QFile::copy(autosave.Path(), kept));

    struct Case {
        const char* name;
        bool failsNow;  // the new autosave never lands: the old one stays
    };
    for (const Case& c : {Case{"measured again, the autosave not in place", true},
                          Case{"measured again and autosaved", false}}) {
        SCOPED_TRACE(c.name);
        if (c.failsNow) {
            ASSERT_TRUE(QFile::remove(autosave.Path()));
            ASSERT_TRUE(QDir().mkdir(autosave.Path()));  // a folder in the file's place
        }
        Measure(grid, 1, 1, QStringLiteral("25.00"), 400);
        autosave.Write(grid);
        if (c.failsNow) {
            ASSERT_TRUE(QDir().rmdir(autosave.Path()));
            ASSERT_TRUE(QFile::copy(kept, autosave.Path()));
        }
        GridModel fresh(3, 3);
        const auto [value, figure] = Recovered(fresh);
        ASSERT_NE(figure, nullptr) << value.toStdString();
        EXPECT_EQ(figure->value, value);
        EXPECT_EQ(figure->points[1].x, c.failsNow ? 800 : 400);
    }
}

TEST_F(AutosaveTest, the_first_autosave_of_a_run_keeps_the_last_runs_figures_until_it_is_in_place) {
    Measure(grid, 1, 1, QStringLiteral("100.00"), 800);
    autosave.Write(grid);
    GridModel next(3, 3);
    Autosave nextRun(dir.path(), true, [] {});
    Measure(next, 1, 1, QStringLiteral("25.00"), 400);
    const FigureFileContent before = ReadFigureFile(nextRun.FiguresPath());
    nextRun.Write(next);
    const FigureFileContent after = ReadFigureFile(nextRun.FiguresPath());
    ASSERT_EQ(before.figures.size(), 1u);
    ASSERT_EQ(after.figures.size(), 2u) << "the last run's and this run's, for one cell";
    EXPECT_EQ(after.figures[0].figure->value, QStringLiteral("100.00"));
    EXPECT_EQ(after.figures[1].figure->value, QStringLiteral("25.00"));
    Measure(next, 2, 1, QStringLiteral("4.00"), 160);
    nextRun.Write(next);
    EXPECT_EQ(ReadFigureFile(nextRun.FiguresPath()).figures.size(), 2u)
        << "once this run's autosave is in place, only the grid's";
}

}  // namespace
