// What the window does when files fail it, and how it keeps a session's
// settings and files safe across a crash.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <cmath>
#include <limits>

#include "files/AtomicFile.h"
#include "CommitGate.h"
#include "shell/Common.h"
#include "FileBytes.h"
#include "QStringPrinter.h"
#include "WindowFixture.h"

namespace {

// Counts the writes of each file through the atomic writer.
struct WriteCounter {
    WriteCounter() {
        SetBeforeCommitHookForTest([this](const QString& path) {
            (path.endsWith(QStringLiteral(".INI")) ? ini : csv) += 1;
            return true;
        });
    }
    ~WriteCounter() { SetBeforeCommitHookForTest(nullptr); }
    int ini = 0;
    int csv = 0;
};

TEST(WindowFaults, the_title_tells_while_the_autosave_fails_and_the_old_file_stays) {
    WindowFixture f;
    frmTab& w = f.Start(true);
    const QString title = w.windowTitle();
    const QString save = f.Path(QStringLiteral("Save.csv"));
    ASSERT_TRUE(QDir(f.dir.path()).mkdir(QStringLiteral("Save.csv")));  // a directory in its place

    // What the title says: AutosaveTest.
    w.PutValue(1, true);
    w.PutValue(2, true);
    EXPECT_TRUE(w.windowTitle().startsWith(title));
    EXPECT_TRUE(w.windowTitle().contains(QStringLiteral("フォルダー"))) << "with the reason";
    EXPECT_TRUE(f.dialogs.shown.empty()) << "measuring goes on without a box";

    ASSERT_TRUE(QDir(f.dir.path()).rmdir(QStringLiteral("Save.csv")));
    w.PutValue(3, true);
    EXPECT_EQ(w.windowTitle(), title);
    EXPECT_EQ(ReadBytes(save), QByteArray("1.00,2.00,3.00\r\n"));
}

TEST(WindowFaults, first_start_and_exit_write_the_settings_file_once_each) {
    WindowFixture f;
    WriteCounter writes;
    f.Start(true);
    EXPECT_EQ(writes.ini, 1);
    f.Stop();
    EXPECT_EQ(writes.ini, 2);
}

TEST(WindowFaults, a_changed_setting_is_written_once_after_a_short_pause) {
    WindowFixture f;
    frmTab& w = f.Start(true);
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    const QString ini = f.Path(QStringLiteral("Kalvor.INI"));
    WriteCounter writes;

    auto* rows = f.Find<QLineEdit>(QStringLiteral("txtInput(1)"));
    rows->setFocus();
    rows->selectAll();
    QTest::keyClicks(rows, QStringLiteral("25"));
    EXPECT_EQ(writes.ini, 0) << "not per keystroke";
    EXPECT_TRUE(QTest::qWaitFor([&] { return writes.ini == 1; }, 3000));
    EXPECT_TRUE(ReadBytes(ini).contains("\r\ntxtInput 1=25\r\n"));

    f.Find<QComboBox>(QStringLiteral("cmbSyosu"))->setCurrentIndex(4);
    EXPECT_EQ(writes.ini, 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return writes.ini == 2; }, 3000)) << "after a short pause";
    EXPECT_TRUE(ReadBytes(ini).contains("\r\ncmbSyosu=4\r\n"));
    QCoreApplication::processEvents();
    EXPECT_EQ(writes.ini, 2) << "once";
}

TEST(WindowFaults, a_crash_keeps_the_sessions_decimals_and_grid_size) {
    WindowFixture f;
    frmTab& w = f.Start(true);
    f.Find<QComboBox>(QStringLiteral("cmbSyosu"))->setCurrentIndex(4);
    f.Enter(QStringLiteral("txtInput(1)"), QStringLiteral("30"));
    // The settings are written after a pause.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QByteArray ini = ReadBytes(f.Path(QStringLiteral("Kalvor.INI")));
            return ini.contains("\r\ncmbSyosu=4\r\n") && ini.contains("\r\ntxtInput 1=30\r\n");
        },
        3000));
    w.Grid().SetRow(30);
    w.PutValue(1.23456, true);
    f.Kill();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    WindowFixture later;
    later.services.dataDirectory = f.dir.path();
    later.services.executableDirectory = f.dir.path();
    frmTab& again = later.Start(false);
    EXPECT_EQ(again.Grid().Rows(), 31);
    EXPECT_EQ(again.Grid().TextMatrix(30, 1), QStringLiteral("1.2346"));
}

TEST(WindowFaults, leftovers_of_killed_writes_are_removed_at_start_up_and_nothing_else) {
    WindowFixture f;
    const QStringList ours = {"Save.csv.kalvor-Ab12Cd", "Kalvor.INI.kalvor-x9Y8z7"};
    const QStringList others = {"Save.csv.kalvor-abc", "Save.csv.backup", "Save.csv.AbCdEf",
                                "notes.txt"};
    for (const QString& name : ours + others) ASSERT_TRUE(WriteBytes(f.Path(name), "x"));
    ASSERT_TRUE(WriteBytes(f.Path("Save.csv"), "7\r\n"));
    ASSERT_TRUE(WriteBytes(f.Path("err.dat"), "err\r\n"));
    frmTab& w = f.Start(false);
    EXPECT_EQ(w.Grid().TextMatrix(1, 1), QStringLiteral("7.00"));
    for (const QString& name : ours)
        EXPECT_FALSE(QFile::exists(f.Path(name))) << name.toStdString();
    for (const QString& name : others)
        EXPECT_TRUE(QFile::exists(f.Path(name))) << name.toStdString();
}

TEST(WindowFaults, a_value_whose_text_would_not_read_back_is_not_written) {
    WindowFixture f;
    frmTab& w = f.Start(true);
    w.PutValue(5, true);
    const QByteArray saved = ReadBytes(f.Path(QStringLiteral("Save.csv")));
    w.Grid().SetTextMatrix(1, 2, QStringLiteral("keep"));
    for (const double value : {std::numeric_limits<double>::max(), -1.7976931348623157e308,
                               std::numeric_limits<double>::infinity(), std::nan("")}) {
        w.PutValue(value, true);
        EXPECT_EQ(w.Grid().TextMatrix(1, 2), QStringLiteral("keep"));
        EXPECT_EQ(w.Grid().Col(), 2) << "the cursor stays";
    }
    EXPECT_EQ(ReadBytes(f.Path(QStringLiteral("Save.csv"))), saved);
}

}  // namespace
