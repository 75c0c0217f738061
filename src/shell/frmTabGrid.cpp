// The grid: values put into it (each written to the autosave) and the cursor
// moved on in the fill direction, its size and column widths from the other
// settings page, and its values brought back from the autosave of a run that
// did not end normally.

#include <QComboBox>
#include <QDir>
#include <QRadioButton>
#include <QScopeGuard>
#include <algorithm>
#include <array>

#include "exchange/RestoreTable.h"
#include "exchange/TextTable.h"
#include "grid/Mei.h"
#include "grid/NumberText.h"
#include "grid/ui/FilteredLineEdit.h"
#include "grid/ui/MeiGridView.h"
#include "shell/TextBuffer.h"
#include "shell/frmTab.h"

namespace {

// The grid's size limits: enough for any drawing, small enough to stay
// responsive.
constexpr double kMaxDataRows = 10000;
constexpr double kMaxDataCols = 1000;
constexpr int kHeaderColumnWidth = 600;  // twips

// Rows or Cols from a size text: the number plus the header, rounded half to
// even and held within the limits. No value for a text that is not a number.
std::optional<int> GridSizeFromText(const QString& text, double maxData) {
    const std::optional<double> n = ParseNumber(text);
    if (!n) return std::nullopt;
    return RoundHalfEven(std::clamp(*n + 1.0, 2.0, maxData + 1.0));
}

}  // namespace

bool frmTab::FillsDown() const { return optInput[0]->isChecked(); }

void frmTab::AdvanceInFillDirection() {
    int col = grid_.Col();
    int row = grid_.Row();
    if (FillsDown()) {
        ++row;
    } else {
        ++col;
    }
    Mei::AdvanceCursor(*msgMei, col, row, 1);
}

void frmTab::PutValue(double value, bool advance) {
    const QString text = FormatDecimals(value, cmbSyosu->currentIndex());
    engine_.ValuePut();
    FigureChanged();
    // A value without a text that reads back (not finite, or too large once
    // rounded) is a value that cannot be had: it is not written, and the
    // cursor stays, as when a measurement yields no value.
    if (text.isEmpty()) return;
    grid_.SetTextMatrix(grid_.Row(), grid_.Col(), text);
    figures_.Attach(grid_, grid_.Row(), grid_.Col(), text);
    WriteAutosave();
    if (advance) AdvanceInFillDirection();
}

void frmTab::WriteAutosave() {
    // Every change the autosave follows may have changed a kept figure.
    MarksMaybeChanged();
    autosave_.Write(grid_);
}

void frmTab::LayoutGrid() {
    if (const auto rows = GridSizeFromText(txtInput[1]->text(), kMaxDataRows)) grid_.SetRows(*rows);
    if (const auto cols = GridSizeFromText(txtInput[2]->text(), kMaxDataCols)) grid_.SetCols(*cols);
    for (int i = 1; i < grid_.Rows(); ++i) grid_.SetTextMatrix(i, 0, QString::number(i));
    grid_.SetColWidth(0, kHeaderColumnWidth);
    const std::optional<double> width = ParseNumber(cmdWidth->currentText());
    const std::optional<int> widthTwips = width ? RoundHalfEven(*width) : std::nullopt;
    for (int j = 1; j < grid_.Cols(); ++j) {
        grid_.SetTextMatrix(0, j, QString::number(j));
        if (widthTwips) grid_.SetColWidth(j, *widthTwips);
    }
    // The texts the grid is laid out for: an entered size is compared with them.
    sizeTexts_ = {txtInput[1]->text(), txtInput[2]->text()};
}

void frmTab::ClearGrid() {
    grid_.ClearData();
    int col = 1;
    int row = 1;
    Mei::AdvanceCursor(*msgMei, col, row, 1);
}

void frmTab::txtInput_Change(int) {
    // A grid size is taken when the operator has typed it (GridSizeEntered),
    // never at each keystroke: "3" on the way to "30" is no size to lay the
    // grid out for, let alone to empty it for.
}

void frmTab::GridSizeEntered(int index) {
    // Leaving the box while the question is open, or while the window is
    // destroyed, finishes the editing again: only the first finish counts.
    if (!loaded_ || sizeBusy_) return;
    const int slot = index - 1;
    const QString text = txtInput[index]->text();
    if (text == sizeTexts_[slot]) return;
    sizeBusy_ = true;
    const auto guard = qScopeGuard([this] { sizeBusy_ = false; });
    const auto putBack = [&] { txtInput[index]->setText(sizeTexts_[slot]); };
    const std::optional<int> size =
        GridSizeFromText(text, index == 1 ? kMaxDataRows : kMaxDataCols);
    if (!size) {
        putBack();
        return;
    }
    // Values that would fall outside are not thrown away without a word;
    // a size that holds them all needs none.
    const int rows = index == 1 ? *size : grid_.Rows();
    const int cols = index == 2 ? *size : grid_.Cols();
    const int outside = grid_.UsedOutside(rows, cols);
    if (outside > 0 &&
        !CommonDialog1.Ask(
            QStringLiteral("表に入りきらない値が %1 個あります。削除してよろしいですか？")
                .arg(outside))) {
        putBack();
        return;
    }
    // One step the operator can take back, the size with the values.
    undo_.Begin();
    LayoutGrid();
    undo_.End();
    // Dropped values must not come back with a crash's recovery.
    if (outside > 0) WriteAutosave();
}

void frmTab::cmdWidth_Click() { LayoutGrid(); }

void frmTab::LoadAutosave(const QString& path) {
    if (txtClip == nullptr) return;
    // A file that exists but cannot be read leaves the grid empty; start-up
    // goes on. One that is not the program's own regular file (a link, a
    // device) is not read at all, and the title says why until a value can
    // be saved.
    const std::optional<QString> text = autosave_.ReadBack(path);
    if (!text) return;
    txtClip->SetText(*text);
    // Every value goes back into the cell it was saved from, the grid grown
    // to hold the whole table: the grid's size is only saved at a normal exit.
    const QChar separator(u',');
    const TableShape shape = MeasureTable(*text, separator);
    msgMei->BeginBulkChange();
    ResizeGridTo(std::max(shape.rows + 1, grid_.Rows()), std::max(shape.cols + 1, grid_.Cols()));
    const RestoredTable restored = RestoreTable(*text, separator, grid_, cmbSyosu->currentIndex());
    msgMei->EndBulkChange();
    if (restored.lastAcrossRow == 0) return;
    autosave_.RestoreFigures(grid_, cmbSyosu->currentIndex());
    // Values that come back without a word could be taken for this session's.
    startupNotices_ << QStringLiteral(
                           "前回は正しく終了しなかったため、「%1」から値を %2 個戻しました。")
                           .arg(QDir::toNativeSeparators(path))
                           .arg(restored.restored);
    // The cursor goes where the next value would have gone: from the last
    // filled cell in the fill direction, one step on as a put value moves.
    grid_.SetRow(FillsDown() ? restored.lastDownRow : restored.lastAcrossRow);
    grid_.SetCol(FillsDown() ? restored.lastDownCol : restored.lastAcrossCol);
    AdvanceInFillDirection();
    // Written once, now that the grid is whole: the file stays as it was
    // until then.
    WriteAutosave();
}

void frmTab::ResizeGridTo(int rows, int cols) {
    const std::array<int, 2> wanted = {std::clamp(rows - 1, 1, static_cast<int>(kMaxDataRows)),
                                       std::clamp(cols - 1, 1, static_cast<int>(kMaxDataCols))};
    const std::array<int, 2> now = {grid_.Rows() - 1, grid_.Cols() - 1};
    if (wanted == now) return;
    // The size boxes show the new size without clearing the grid.
    for (int slot = 0; slot < 2; ++slot) {
        if (wanted[slot] != now[slot]) txtInput[slot + 1]->setText(QString::number(wanted[slot]));
    }
    LayoutGrid();
}
