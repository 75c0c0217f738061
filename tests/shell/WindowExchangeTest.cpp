// The grid leaving and entering the window: save as, clipboard copy and
// paste, clearing, quitting, and the autosave load.

#include "CsvFile.h"
#include "QStringPrinter.h"
#include "TextTable.h"
#include "WindowFixture.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <utility>

namespace {

using Kind = FakeDialogs::Shown::Kind;
using Cell = std::pair<int, int>;  // (row, column)

const QString kPasteQuestion = QStringLiteral("貼付けしてよろしいですか？");
const QString kClearQuestion = QStringLiteral("全データをクリアしてよろしいですか？");
const QString kExitQuestion = QStringLiteral("終了してよろしいですか？");
const QString kCopied =
    QStringLiteral("クリップボードにコピーしました。 エクセルなどにペースト（貼付け）できます。");

// The worked example: 12.50 and 3.00 in row 1, 7.25 in row 2, column 1.
const QByteArray kExampleCsv("12.50,3.00\r\n7.25,\r\n");
const QString kExampleTabs = QStringLiteral("12.50\t3.00\r\n7.25\t\r\n");

struct EditionCase {
    const char* name;
    Edition (*make)();
};

void PrintTo(const EditionCase& c, std::ostream* os) { *os << c.name; }

std::string EditionName(const testing::TestParamInfo<EditionCase>& info) {
    return info.param.name;
}

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "<missing>";
    return f.readAll();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// The window shown with the start-up defaults (20 data rows by 15 data
// columns, two decimals, filling across).
class WindowExchangeBase {
protected:
    explicit WindowExchangeBase(const Edition& edition) : fx(edition) {}

    void Open() {
        fx.Start();
        fx.window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(fx.window.get()));
    }

    frmTab& window() { return *fx.window; }
    GridModel& grid() { return fx.window->Grid(); }
    Cell Cursor() { return {grid().Row(), grid().Col()}; }
    void Place(int row, int col) {
        ASSERT_TRUE(grid().SetRow(row));
        ASSERT_TRUE(grid().SetCol(col));
    }

    // The worked example, put as measured values; the cursor ends at (2, 2).
    void PutExample() {
        Place(1, 1);
        window().PutValue(12.5, true);
        window().PutValue(3, true);
        window().cmdNextLine_Click();
        window().PutValue(7.25, true);
    }

    QString AutosavePath() const { return fx.Path(QStringLiteral("Save.csv")); }
    QByteArray Autosave() const { return ReadBytes(AutosavePath()); }
    QByteArray TableOfGrid() { return BuildTextTable(grid(), QStringLiteral(",")).toUtf8(); }
    QStringList FilesInDataDir() const {
        return QDir(fx.dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    }

    int Questions() const { return fx.dialogs.Count(Kind::Question); }
    const FakeDialogs::Shown& LastShown() const { return fx.dialogs.shown.back(); }

    WindowFixture fx;
};

class WindowExchange : public WindowExchangeBase, public testing::Test {
protected:
    WindowExchange() : WindowExchangeBase(FullEdition()) {}
    void SetUp() override { Open(); }
    void TearDown() override { SetBeforeCommitHookForTest(nullptr); }
};

class WindowExchangeEditions : public WindowExchangeBase,
                               public testing::TestWithParam<EditionCase> {
protected:
    WindowExchangeEditions() : WindowExchangeBase(GetParam().make()) {}
    void SetUp() override { Open(); }
};

INSTANTIATE_TEST_SUITE_P(Editions, WindowExchangeEditions,
                         testing::Values(EditionCase{"Full", &FullEdition},
                                         EditionCase{"Reduced", &ReducedEdition}),
                         EditionName);

// --- Save as -------------------------------------------------------------------------

TEST_F(WindowExchange, save_as_offers_csv_files_with_an_empty_name) {
    fx.dialogs.ChooseNextFile(QString());
    window().cmdSave_Click();
    ASSERT_EQ(1u, fx.dialogs.shown.size());
    EXPECT_EQ(Kind::SaveDialog, fx.dialogs.shown[0].kind);
    EXPECT_EQ(QStringLiteral("CSVファイル (*.csv)"), fx.dialogs.shown[0].text);
    EXPECT_EQ(QString(), fx.dialogs.shown[0].preset);
}

TEST_F(WindowExchange, save_as_cancelled_writes_nothing_and_shows_nothing) {
    PutExample();
    const QStringList before = FilesInDataDir();
    fx.dialogs.ChooseNextFile(QString());
    window().cmdSave_Click();
    EXPECT_EQ(before, FilesInDataDir());
    EXPECT_EQ(1u, fx.dialogs.shown.size()) << "only the dialog itself";
}

TEST_F(WindowExchange, save_as_writes_the_autosave_bytes_under_the_name_as_typed) {
    PutExample();
    for (const QString& name : {QStringLiteral("table.csv"), QStringLiteral("table")}) {
        SCOPED_TRACE(name.toStdString());
        const QString path = fx.Path(name);
        fx.dialogs.ChooseNextFile(path);
        window().cmdSave_Click();
        EXPECT_EQ(kExampleCsv, ReadBytes(path));
        EXPECT_EQ(Autosave(), ReadBytes(path));
        EXPECT_EQ(Kind::Notice, LastShown().kind);
        EXPECT_EQ(path + QStringLiteral("に、ファイル保存しました。"), LastShown().text);
    }
    // No extension was added to the name typed without one.
    EXPECT_FALSE(QFile::exists(fx.Path(QStringLiteral("table.csv.csv"))));
    EXPECT_EQ(1, FilesInDataDir().count(QStringLiteral("table")));
}

TEST_F(WindowExchange, save_as_of_an_empty_grid_truncates_the_file_to_zero_bytes) {
    const QString path = fx.Path(QStringLiteral("old.csv"));
    ASSERT_TRUE(WriteBytes(path, "1,2\r\n"));
    fx.dialogs.ChooseNextFile(path);
    window().cmdSave_Click();
    EXPECT_EQ(QByteArray(), ReadBytes(path));
    EXPECT_EQ(path + QStringLiteral("に、ファイル保存しました。"), LastShown().text);
}

TEST_F(WindowExchange, save_as_that_cannot_write_says_so_and_changes_nothing) {
    ASSERT_TRUE(WriteBytes(fx.Path(QStringLiteral("plain")), "x"));
    // Under a regular file no one can create a file, root included.
    const QString cases[] = {fx.Path(QStringLiteral("missing/table.csv")),
                             fx.Path(QStringLiteral("plain/table.csv"))};
    PutExample();
    const QByteArray grid = TableOfGrid();
    const QByteArray autosave = Autosave();
    const Cell cursor = Cursor();
    for (const QString& path : cases) {
        SCOPED_TRACE(path.toStdString());
        const QStringList files = FilesInDataDir();
        const std::size_t shown = fx.dialogs.shown.size();
        fx.dialogs.ChooseNextFile(path);
        window().cmdSave_Click();
        ASSERT_EQ(shown + 2, fx.dialogs.shown.size()) << "the dialog and one notice";
        EXPECT_EQ(Kind::Notice, LastShown().kind);
        EXPECT_EQ(path + QStringLiteral("に、ファイル保存できませんでした。"), LastShown().text);
        EXPECT_FALSE(QFile::exists(path));
        EXPECT_EQ(files, FilesInDataDir());
        EXPECT_EQ(grid, TableOfGrid());
        EXPECT_EQ(autosave, Autosave());
        EXPECT_EQ(cursor, Cursor());
    }
}

// --- Copy ---------------------------------------------------------------------------------

TEST_F(WindowExchange, copy_puts_the_tab_table_on_the_clipboard_and_says_so) {
    PutExample();
    fx.clipboard.SetText(QStringLiteral("old"));
    window().cmdCopy_Click();
    EXPECT_EQ(kExampleTabs, fx.clipboard.text);
    EXPECT_TRUE(fx.clipboard.hasText);
    EXPECT_EQ(1, fx.clipboard.clears);
    ASSERT_EQ(1u, fx.dialogs.shown.size());
    EXPECT_EQ(Kind::Notice, LastShown().kind);
    EXPECT_EQ(kCopied, LastShown().text);
}

TEST_F(WindowExchange, copy_of_an_empty_grid_puts_the_empty_text_and_still_says_so) {
    fx.clipboard.SetText(QStringLiteral("old"));
    window().cmdCopy_Click();
    EXPECT_EQ(QString(), fx.clipboard.text);
    ASSERT_EQ(1u, fx.dialogs.shown.size());
    EXPECT_EQ(kCopied, LastShown().text);
}

// --- Paste --------------------------------------------------------------------------------

TEST_F(WindowExchange, paste_answered_no_changes_nothing) {
    PutExample();
    Place(5, 3);
    const QByteArray grid = TableOfGrid();
    const QByteArray autosave = Autosave();
    fx.clipboard.SetText(QStringLiteral("1\t2\r\n"));
    fx.dialogs.AnswerNext(false);
    window().cmdPaste_Click();
    ASSERT_EQ(1u, fx.dialogs.shown.size());
    EXPECT_EQ(kPasteQuestion, fx.dialogs.shown[0].text);
    EXPECT_EQ(grid, TableOfGrid());
    EXPECT_EQ(Cell(5, 3), Cursor());
    EXPECT_EQ(autosave, Autosave());
}

TEST_F(WindowExchange, paste_without_clipboard_text_stops_silently) {
    PutExample();
    Place(5, 3);
    const QByteArray grid = TableOfGrid();
    const QByteArray autosave = Autosave();
    fx.dialogs.AnswerNext(true);
    window().cmdPaste_Click();
    EXPECT_EQ(1u, fx.dialogs.shown.size()) << "the question only";
    EXPECT_EQ(grid, TableOfGrid());
    EXPECT_EQ(Cell(5, 3), Cursor());
    EXPECT_EQ(autosave, Autosave());
}

TEST_F(WindowExchange, paste_puts_the_values_at_the_cursor_formatted_and_autosaves_once) {
    const struct {
        const char* what;
        QString clip;
        Cell start;
        std::vector<std::pair<Cell, QString>> cells;
        Cell cursorAfter;
    } cases[] = {
        {"two lines with an empty field",
         QStringLiteral("1\t\t3\r\n4.125\r\n"),
         {2, 2},
         {{{2, 2}, QStringLiteral("1.00")}, {{2, 4}, QStringLiteral("3.00")},
          {{3, 2}, QStringLiteral("4.13")}},
         {5, 2}},
        {"no final line end",
         QStringLiteral("1\t2\r\n3"),
         {1, 1},
         {{{1, 1}, QStringLiteral("1.00")}, {{1, 2}, QStringLiteral("2.00")},
          {{2, 1}, QStringLiteral("3.00")}},
         {3, 1}},
        {"spreadsheet with column titles",
         QStringLiteral("幅\t高さ\r\n12.5\t3\r\n7.25\t\r\n"),
         {1, 1},
         {{{2, 1}, QStringLiteral("12.50")}, {{2, 2}, QStringLiteral("3.00")},
          {{3, 1}, QStringLiteral("7.25")}},
         {5, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        grid().ClearData();
        ASSERT_TRUE(WriteBytes(AutosavePath(), "before\r\n"));
        Place(c.start.first, c.start.second);
        int writes = 0;
        SetBeforeCommitHookForTest([&writes] {
            ++writes;
            return true;
        });
        fx.clipboard.SetText(c.clip);
        fx.dialogs.AnswerNext(true);
        window().cmdPaste_Click();
        SetBeforeCommitHookForTest(nullptr);

        for (const auto& [cell, text] : c.cells)
            EXPECT_EQ(text, grid().TextMatrix(cell.first, cell.second))
                << "(" << cell.first << "," << cell.second << ")";
        EXPECT_EQ(static_cast<int>(c.cells.size()),
                  [&] {
                      int n = 0;
                      for (int r = 1; r < grid().Rows(); ++r)
                          for (int k = 1; k < grid().Cols(); ++k)
                              n += grid().TextMatrix(r, k).isEmpty() ? 0 : 1;
                      return n;
                  }())
            << "no other cell written";
        EXPECT_EQ(c.cursorAfter, Cursor());
        EXPECT_EQ(1, writes) << "the autosave is written once, at the end";
        EXPECT_EQ(TableOfGrid(), Autosave());
    }
}

TEST_F(WindowExchange, copy_then_paste_into_a_cleared_grid_gives_back_the_same_cells) {
    PutExample();
    Place(1, 4);
    window().PutValue(0.5, true);  // ".50": no integer part
    Place(4, 2);
    window().PutValue(-3, true);
    const QByteArray before = TableOfGrid();
    window().cmdCopy_Click();

    window().ClearGrid();
    ASSERT_EQ(0, grid().UsedRows());
    fx.dialogs.AnswerNext(true);
    window().cmdPaste_Click();
    EXPECT_EQ(before, TableOfGrid());
}

TEST(WindowExchangeReduced, has_no_paste_and_its_paste_handler_does_nothing) {
    WindowFixture fx(ReducedEdition());
    fx.Start();
    EXPECT_EQ(nullptr, fx.Find<QToolButton>(QStringLiteral("cmdPaste")));
    fx.clipboard.SetText(QStringLiteral("1\t2\r\n"));
    fx.window->cmdPaste_Click();
    EXPECT_TRUE(fx.dialogs.shown.empty());
    EXPECT_EQ(0, fx.window->Grid().UsedRows());
    EXPECT_FALSE(QFile::exists(fx.Path(QStringLiteral("Save.csv"))));
}

// --- Clear and exit -------------------------------------------------------------------------

TEST_F(WindowExchange, clear_answered_no_keeps_cells_cursor_and_autosave) {
    PutExample();
    const QByteArray grid = TableOfGrid();
    const Cell cursor = Cursor();
    fx.dialogs.AnswerNext(false);
    window().cmdClr_Click();
    ASSERT_EQ(1u, fx.dialogs.shown.size());
    EXPECT_EQ(kClearQuestion, fx.dialogs.shown[0].text);
    EXPECT_EQ(grid, TableOfGrid());
    EXPECT_EQ(cursor, Cursor());
    EXPECT_EQ(kExampleCsv, Autosave());
}

TEST_F(WindowExchange, clear_answered_yes_empties_the_grid_but_not_the_autosave) {
    PutExample();
    fx.dialogs.AnswerNext(true);
    window().cmdClr_Click();
    EXPECT_EQ(0, grid().UsedRows());
    EXPECT_EQ(0, grid().UsedCols());
    EXPECT_EQ(Cell(1, 1), Cursor());
    // Headers stay.
    EXPECT_EQ(QStringLiteral("1"), grid().TextMatrix(1, 0));
    EXPECT_EQ(QStringLiteral("1"), grid().TextMatrix(0, 1));
    // The autosave keeps the previous contents until the next value.
    EXPECT_EQ(kExampleCsv, Autosave());
}

TEST_F(WindowExchange, exit_answered_no_keeps_the_window) {
    PutExample();
    fx.dialogs.AnswerNext(false);
    window().cmdExit_Click();
    EXPECT_EQ(1, Questions());
    EXPECT_EQ(kExitQuestion, LastShown().text);
    EXPECT_FALSE(window().Unloaded());
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(kExampleCsv, TableOfGrid());
}

TEST_F(WindowExchange, exit_answered_yes_unloads_after_exactly_one_question) {
    // Answered yes by default: a second question would also be answered and
    // show up in the count.
    window().cmdExit_Click();
    QApplication::processEvents();
    EXPECT_EQ(1, Questions());
    EXPECT_TRUE(window().Unloaded());
    EXPECT_FALSE(window().isVisible());
    EXPECT_FALSE(QFile::exists(fx.Path(QStringLiteral("err.dat"))));
}

TEST_F(WindowExchange, closing_the_window_asks_and_no_keeps_it_open_with_its_data) {
    PutExample();
    fx.dialogs.AnswerNext(false);
    window().close();
    EXPECT_EQ(1, Questions());
    EXPECT_EQ(kExitQuestion, LastShown().text);
    EXPECT_FALSE(window().Unloaded());
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(kExampleCsv, TableOfGrid());

    // The refusal does not turn the next close into one that does not ask.
    fx.dialogs.AnswerNext(true);
    window().close();
    EXPECT_EQ(2, Questions());
    EXPECT_TRUE(window().Unloaded());
    EXPECT_FALSE(window().isVisible());
}

TEST_F(WindowExchange, only_a_close_through_the_window_asks_before_unloading) {
    const struct {
        int unloadMode;
        bool asks;
    } cases[] = {{0, true}, {1, false}, {2, false}, {3, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.unloadMode);
        const int asked = Questions();
        bool cancel = false;
        fx.dialogs.AnswerNext(false);
        window().Form_QueryUnload(cancel, c.unloadMode);
        EXPECT_EQ(asked + (c.asks ? 1 : 0), Questions());
        EXPECT_EQ(c.asks, cancel) << "refused only when asked and answered no";
        fx.dialogs.answers.clear();
    }
    EXPECT_FALSE(window().Unloaded());
}

// --- The autosave load ----------------------------------------------------------------------

TEST_F(WindowExchange, loading_an_empty_or_missing_autosave_leaves_the_grid_empty) {
    const QString empty = fx.Path(QStringLiteral("empty.csv"));
    ASSERT_TRUE(WriteBytes(empty, QByteArray()));
    for (const QString& path : {empty, fx.Path(QStringLiteral("missing.csv")),
                                fx.dir.path()}) {  // a directory is not a file
        SCOPED_TRACE(path.toStdString());
        window().LoadAutosave(path);
        EXPECT_EQ(0, grid().UsedRows());
        EXPECT_EQ(Cell(1, 1), Cursor());
    }
    EXPECT_FALSE(QFile::exists(AutosavePath()));
}

TEST_F(WindowExchange, an_autosave_without_a_final_line_end_loads_like_one_with_it) {
    const QString withEnd = fx.Path(QStringLiteral("with.csv"));
    const QString withoutEnd = fx.Path(QStringLiteral("without.csv"));
    ASSERT_TRUE(WriteBytes(withEnd, "1,,3\r\n4.5\r\n"));
    ASSERT_TRUE(WriteBytes(withoutEnd, "1,,3\r\n4.5"));

    window().LoadAutosave(withEnd);
    const QByteArray loaded = TableOfGrid();
    const Cell cursor = Cursor();
    EXPECT_EQ(QByteArray("1.00,,3.00\r\n4.50,,\r\n"), loaded);
    EXPECT_EQ(Cell(4, 1), cursor);
    // The autosave afterwards holds the reloaded grid.
    EXPECT_EQ(loaded, Autosave());

    window().ClearGrid();
    window().LoadAutosave(withoutEnd);
    EXPECT_EQ(loaded, TableOfGrid());
    EXPECT_EQ(cursor, Cursor());
}

// --- Both editions ----------------------------------------------------------------------------

TEST_P(WindowExchangeEditions, save_as_and_copy_give_the_same_bytes_and_messages) {
    PutExample();
    const QString path = fx.Path(QStringLiteral("out.csv"));
    fx.dialogs.ChooseNextFile(path);
    window().cmdSave_Click();
    EXPECT_EQ(kExampleCsv, ReadBytes(path));
    EXPECT_EQ(path + QStringLiteral("に、ファイル保存しました。"), LastShown().text);

    window().cmdCopy_Click();
    EXPECT_EQ(kExampleTabs, fx.clipboard.text);
    EXPECT_EQ(kCopied, LastShown().text);
}

}  // namespace
