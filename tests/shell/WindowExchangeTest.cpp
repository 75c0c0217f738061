// The grid leaving and entering the window: save as, clipboard copy and
// paste, clearing, quitting, and the autosave load. The byte layouts and the
// paste reader are tested in tests/exchange; these tests keep the buttons,
// questions, messages and files of the window.

#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <QStandardPaths>
#include <QFile>
#include <QFileInfo>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <optional>
#include <utility>

#include "CommitGate.h"
#include "exchange/CsvFile.h"
#include "QStringPrinter.h"
#include "exchange/TextTable.h"
#include "FileBytes.h"
#include "WindowFixture.h"

namespace {

using Kind = FakeDialogs::Shown::Kind;
using Cell = std::pair<int, int>;  // (row, column)

const QString kPasteQuestion = QStringLiteral("貼付けしてよろしいですか？");
const QString kClearQuestion = QStringLiteral("全データをクリアしてよろしいですか？");
const QString kExitQuestion = QStringLiteral("終了してよろしいですか？");
const QString kCopied =
    QStringLiteral("クリップボードにコピーしました。 エクセルなどにペースト（貼付け）できます。");
const QString kSaved = QStringLiteral("に、ファイル保存しました。");

// The worked example: 12.50 and 3.00 in row 1, 7.25 in row 2, column 1.
const QByteArray kExampleCsv("12.50,3.00\r\n7.25,\r\n");
const QString kExampleTabs = QStringLiteral("12.50\t3.00\r\n7.25\t\r\n");

// The window shown with the start-up defaults (20 data rows by 15 data
// columns, two decimals, filling across).
template <typename Base>
class WindowExchangeBase : public Base {
protected:
    explicit WindowExchangeBase(const Edition& edition) : fx(edition) {}

    void SetUp() override {
        fx.Start();
        fx.window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(fx.window.get()));
    }
    void TearDown() override { SetBeforeCommitHookForTest(nullptr); }

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
    // What a refused or failed command must leave as it was.
    struct State {
        QByteArray table, autosave;
        Cell cursor;
        QStringList files;
        bool operator==(const State&) const = default;
    };
    State Now() { return {TableOfGrid(), Autosave(), Cursor(), FilesInDataDir()}; }

    int Questions() const { return fx.dialogs.Count(Kind::Question); }
    const FakeDialogs::Shown& LastShown() const { return fx.dialogs.shown.back(); }

    WindowFixture fx;
};

class WindowExchange : public WindowExchangeBase<testing::Test> {
protected:
    WindowExchange() : WindowExchangeBase(FullEdition()) {}
};

class WindowExchangeEditions : public WindowExchangeBase<testing::TestWithParam<bool>> {
protected:
    WindowExchangeEditions() : WindowExchangeBase(GetParam() ? FullEdition() : ReducedEdition()) {}
};

INSTANTIATE_TEST_SUITE_P(Editions, WindowExchangeEditions, testing::Bool(),
                         [](const auto& info) { return info.param ? "Full" : "Reduced"; });

// --- Save as -------------------------------------------------------------------------

TEST_F(WindowExchange, save_as_offers_csv_files_proposes_a_dated_name_and_cancelled_does_nothing) {
    PutExample();
    const State before = Now();
    fx.dialogs.ChooseNextFile(QString());
    window().cmdSave_Click();
    ASSERT_EQ(1u, fx.dialogs.shown.size()) << "only the dialog itself";
    EXPECT_EQ(Kind::SaveDialog, LastShown().kind);
    EXPECT_EQ(QStringLiteral("CSVファイル (*.csv)"), LastShown().text);
    EXPECT_EQ(QString(), LastShown().preset);
    EXPECT_EQ(QStringLiteral("計測_%1.csv").arg(QDate::currentDate().toString(Qt::ISODate)),
              LastShown().proposed)
        << "a name of today's date, which a cancel does not save under";
    EXPECT_EQ(before, Now());
}

// The dialog opens in the folder last saved to (kept in the settings), else
// in the documents; a name without an extension gets ".csv", as the dialog's
// own default suffix would give it.
TEST_F(WindowExchange, save_as_writes_the_autosave_bytes_under_a_csv_name_where_last_saved) {
    // An empty grid truncates the chosen file and still says so.
    const QString old = fx.Path(QStringLiteral("old.csv"));
    ASSERT_TRUE(WriteBytes(old, "1,2\r\n"));
    fx.dialogs.ChooseNextFile(old);
    window().cmdSave_Click();
    EXPECT_EQ(QByteArray(), ReadBytes(old));
    EXPECT_EQ(old + kSaved, LastShown().text);

    PutExample();
    QDir(fx.dir.path()).mkdir(QStringLiteral("mine"));
    for (const auto& [typed, written] :
         {std::pair{QStringLiteral("mine/table.csv"), QStringLiteral("mine/table.csv")},
          {QStringLiteral("mine/測定1"), QStringLiteral("mine/測定1.csv")},
          {QStringLiteral("mine/table.txt"), QStringLiteral("mine/table.txt")}}) {
        SCOPED_TRACE(typed.toStdString());
        fx.dialogs.ChooseNextFile(fx.Path(typed));
        window().cmdSave_Click();
        EXPECT_EQ(kExampleCsv, ReadBytes(fx.Path(written)));
        EXPECT_EQ(fx.Path(written) + kSaved, LastShown().text);
    }
    const auto dialogs = [&] {
        std::vector<FakeDialogs::Shown> out;
        for (const auto& shown : fx.dialogs.shown)
            if (shown.kind == Kind::SaveDialog) out.push_back(shown);
        return out;
    }();
    ASSERT_EQ(dialogs.size(), 4u);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    EXPECT_EQ(dialogs[0].folder, QFileInfo(documents).isDir() ? documents : QDir::homePath())
        << "never the program's own folder";
    EXPECT_EQ(dialogs[3].folder, fx.Path(QStringLiteral("mine")));
    EXPECT_EQ(dialogs[3].suffix, QStringLiteral("csv"));
    EXPECT_TRUE(dialogs[3].preset.isEmpty());
}

TEST_F(WindowExchange, save_as_that_cannot_write_says_so_and_why_and_changes_nothing) {
    ASSERT_TRUE(WriteBytes(fx.Path(QStringLiteral("plain")), "x"));
    PutExample();
    // Under a regular file no one can create a file, root included.
    for (const QString& path : {fx.Path(QStringLiteral("missing/table.csv")),
                                fx.Path(QStringLiteral("plain/table.csv"))}) {
        SCOPED_TRACE(path.toStdString());
        const State before = Now();
        const std::size_t shown = fx.dialogs.shown.size();
        fx.dialogs.ChooseNextFile(path);
        window().cmdSave_Click();
        ASSERT_EQ(shown + 2, fx.dialogs.shown.size()) << "the dialog and one notice";
        EXPECT_EQ(Kind::Notice, LastShown().kind);
        const QStringList lines = LastShown().text.split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 2);
        EXPECT_EQ(path + QStringLiteral("に、ファイル保存できませんでした。"), lines[0]);
        EXPECT_EQ(lines[1], QStringLiteral("フォルダーがありません")) << "the reason, in Japanese";
        EXPECT_EQ(before, Now());
    }
}

// --- Copy and paste -------------------------------------------------------------------------

TEST_F(WindowExchange, copy_puts_the_tab_table_on_the_clipboard_and_says_so_even_when_empty) {
    for (const QString& expected : {QString(), kExampleTabs}) {
        if (!expected.isEmpty()) PutExample();
        fx.clipboard.SetText(QStringLiteral("old"));
        fx.dialogs.shown.clear();
        window().cmdCopy_Click();
        EXPECT_EQ(expected, fx.clipboard.text);
        EXPECT_TRUE(fx.clipboard.hasText);
        ASSERT_EQ(1u, fx.dialogs.shown.size());
        EXPECT_EQ(Kind::Notice, LastShown().kind);
        EXPECT_EQ(kCopied, LastShown().text);
    }
    EXPECT_EQ(2, fx.clipboard.clears);
}

TEST_F(WindowExchange, paste_answered_no_or_without_clipboard_text_changes_nothing) {
    PutExample();
    Place(5, 3);
    const State before = Now();
    for (bool yes : {false, true}) {
        SCOPED_TRACE(yes ? "yes, no text" : "no");
        fx.clipboard.hasText = !yes;
        fx.clipboard.text = yes ? QString() : QStringLiteral("1\t2\r\n");
        fx.dialogs.shown.clear();
        fx.dialogs.AnswerNext(yes);
        window().cmdPaste_Click();
        ASSERT_EQ(1u, fx.dialogs.shown.size()) << "the question only";
        EXPECT_EQ(kPasteQuestion, LastShown().text);
        EXPECT_EQ(before, Now());
    }
}

TEST_F(WindowExchange, paste_puts_the_values_at_the_cursor_formatted_and_autosaves_once) {
    ASSERT_TRUE(WriteBytes(AutosavePath(), "before\r\n"));
    Place(2, 2);
    int writes = 0;
    SetBeforeCommitHookForTest([&writes](const QString& path) {
        if (path.endsWith(QStringLiteral("Save.csv"))) ++writes;
        return true;
    });
    fx.clipboard.SetText(QStringLiteral("1\t\t3\r\n4.125\r\n"));
    fx.dialogs.AnswerNext(true);
    window().cmdPaste_Click();

    EXPECT_EQ(QByteArray(",,,\r\n,1.00,,3.00\r\n,4.13,,\r\n"), TableOfGrid());
    EXPECT_EQ(Cell(5, 2), Cursor()) << "two rows below the last line, at the start column";
    EXPECT_EQ(1, writes) << "the autosave is written once, at the end";
    EXPECT_EQ(TableOfGrid(), Autosave());

    // The view catches up with the pasted values and the cursor at the end.
    auto* grid = fx.Find<QTableView>(QStringLiteral("msgMei"));
    EXPECT_EQ(QStringLiteral("4.13"), grid->model()->index(2, 1).data().toString());
    EXPECT_EQ(grid->model()->index(4, 1), grid->currentIndex());
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

TEST_F(WindowExchange, clear_asks_and_yes_empties_the_grid_but_never_the_autosave) {
    PutExample();
    const State before = Now();
    fx.dialogs.AnswerNext(false);
    window().cmdClr_Click();
    ASSERT_EQ(1u, fx.dialogs.shown.size());
    EXPECT_EQ(kClearQuestion, LastShown().text);
    EXPECT_EQ(before, Now());

    fx.dialogs.AnswerNext(true);
    window().cmdClr_Click();
    EXPECT_EQ(QByteArray(), TableOfGrid());
    EXPECT_EQ(Cell(1, 1), Cursor());
    EXPECT_EQ(QStringLiteral("1"), grid().TextMatrix(1, 0)) << "headers stay";
    EXPECT_EQ(QStringLiteral("1"), grid().TextMatrix(0, 1));
    EXPECT_EQ(kExampleCsv, Autosave()) << "kept until the next value";
}

// Values neither saved nor copied are offered a file before the exit
// question: yes saves (and exits only when the file was written), no goes on
// to the exit question, cancel stays. Saved or copied values are not asked
// about. The same through the exit button and the close box.
TEST(WindowExchangeExit, unsaved_values_are_offered_a_file_before_the_exit_question) {
    using Answer = FakeDialogs::Answer;
    const QString kUnsaved = QStringLiteral("保存していない値があります。ファイルに保存しますか？");
    struct Case {
        const char* name;
        std::function<void(WindowFixture&)> before;  // after a value was put
        std::optional<Answer> answer;                // none: no such question
        bool saveWorks;
        bool exits;
    };
    const std::vector<Case> cases = {
        {"no_saves_nothing_and_asks_to_exit", {}, Answer::No, true, true},
        {"cancel_stays", {}, Answer::Cancel, true, false},
        {"yes_saves_then_exits", {}, Answer::Yes, true, true},
        {"yes_whose_save_fails_stays", {}, Answer::Yes, false, false},
        {"saved_values_ask_nothing",
         [](WindowFixture& f) {
             f.dialogs.ChooseNextFile(f.Path(QStringLiteral("kept.csv")));
             f.window->cmdSave_Click();
         },
         std::nullopt, true, true},
        {"copied_values_ask_nothing", [](WindowFixture& f) { f.window->cmdCopy_Click(); },
         std::nullopt, true, true},
    };
    for (const bool closeBox : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (closeBox ? " (close box)" : " (cmdExit)"));
            WindowFixture f;
            f.Start();
            f.window->PutValue(12.5, true);
            if (c.before) c.before(f);
            f.dialogs.shown.clear();
            if (c.answer) f.dialogs.AnswerNextThreeWay(*c.answer);
            f.dialogs.ChooseNextFile(c.saveWorks ? f.Path(QStringLiteral("on exit"))
                                                 : f.Path(QStringLiteral("missing/x.csv")));
            if (closeBox) {
                f.window->close();
            } else {
                f.window->cmdExit_Click();
            }
            QApplication::processEvents();
            const QStringList questions = f.dialogs.Texts(Kind::Question);
            EXPECT_EQ(questions.contains(kUnsaved), c.answer.has_value());
            EXPECT_EQ(questions.contains(kExitQuestion), c.exits);
            EXPECT_EQ(f.window->Unloaded(), c.exits);
            EXPECT_EQ(QStringLiteral("12.50"), f.window->Grid().TextMatrix(1, 1));
            if (c.answer == Answer::Yes && c.saveWorks) {
                EXPECT_EQ(ReadBytes(f.Path(QStringLiteral("on exit.csv"))), QByteArray("12.50\r\n"));
            }
        }
    }
}

TEST_F(WindowExchange, only_a_close_through_the_window_asks_before_unloading) {
    for (auto [unloadMode, asks] : {std::pair{0, true}, {1, false}, {2, false}, {3, false}}) {
        SCOPED_TRACE(unloadMode);
        const int asked = Questions();
        bool cancel = false;
        fx.dialogs.answers.assign(1, false);
        window().Form_QueryUnload(cancel, unloadMode);
        EXPECT_EQ(asked + (asks ? 1 : 0), Questions());
        EXPECT_EQ(asks, cancel) << "refused only when asked and answered no";
    }
    EXPECT_FALSE(window().Unloaded());
}

// --- The autosave load ----------------------------------------------------------------------

TEST_F(WindowExchange, loading_an_empty_or_missing_autosave_leaves_the_grid_empty) {
    const QString empty = fx.Path(QStringLiteral("empty.csv"));
    ASSERT_TRUE(WriteBytes(empty, QByteArray()));
    // A directory is not a file either.
    for (const QString& path : {empty, fx.Path(QStringLiteral("missing.csv")), fx.dir.path()}) {
        SCOPED_TRACE(path.toStdString());
        window().LoadAutosave(path);
        EXPECT_EQ(0, grid().UsedRows());
        EXPECT_EQ(Cell(1, 1), Cursor());
    }
    EXPECT_FALSE(QFile::exists(AutosavePath()));
}

TEST_F(WindowExchange, an_autosave_without_a_final_line_end_loads_like_one_with_it) {
    for (const QByteArray& bytes : {QByteArray("1,,3\r\n4.5\r\n"), QByteArray("1,,3\r\n4.5")}) {
        SCOPED_TRACE(bytes.toStdString());
        const QString path = fx.Path(QStringLiteral("in.csv"));
        ASSERT_TRUE(WriteBytes(path, bytes));
        window().ClearGrid();
        window().LoadAutosave(path);
        EXPECT_EQ(QByteArray("1.00,,3.00\r\n4.50,,\r\n"), TableOfGrid());
        EXPECT_EQ(Cell(2, 2), Cursor()) << "where the next value would have gone";
        EXPECT_EQ(TableOfGrid(), Autosave()) << "the autosave holds the reloaded grid";
    }
}

// --- Both editions ----------------------------------------------------------------------------

TEST_P(WindowExchangeEditions, save_as_and_copy_give_the_same_bytes_and_messages) {
    PutExample();
    const QString path = fx.Path(QStringLiteral("out.csv"));
    fx.dialogs.ChooseNextFile(path);
    window().cmdSave_Click();
    EXPECT_EQ(kExampleCsv, ReadBytes(path));
    EXPECT_EQ(path + kSaved, LastShown().text);

    window().cmdCopy_Click();
    EXPECT_EQ(kExampleTabs, fx.clipboard.text);
    EXPECT_EQ(kCopied, LastShown().text);
}

}  // namespace
