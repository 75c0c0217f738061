// The autosave on its own: why a write fails is told once and kept until one
// succeeds, and a held autosave waits. The run marker and the recovery:
// WindowLifecycleTest, through the window.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "FileBytes.h"
#include "grid/GridModel.h"
#include "shell/Autosave.h"

namespace {

struct AutosaveTest : ::testing::Test {
    QTemporaryDir dir;
    GridModel grid{3, 3};
    int told = 0;
    Autosave autosave{dir.path(), true, [this] { ++told; }};
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

}  // namespace
