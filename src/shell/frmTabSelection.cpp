// Totals of the selected cells: the line that tells them while several cells
// are selected, and F9 and Shift+F9, which put the total or the mean into the
// grid as a measured value is put, so that a planimeter's accumulate and
// average are one key each.

#include <QComboBox>
#include <QLabel>

#include "grid/ui/MeiGridView.h"
#include "grid/NumberText.h"
#include "grid/RangeTotals.h"
#include "shell/TabControl.h"
#include "shell/frmTab.h"

void frmTab::BuildSelectionLine() {
    // In the tab strip's free end: shown on every page, and no control of the
    // design moves for it. Empty until the operator selects several cells.
    lblSelection = new QLabel(sstMenu);
    lblSelection->setObjectName(QStringLiteral("lblSelection"));
    lblSelection->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblSelection->setToolTip(QStringLiteral("F9：合計を次のセルへ入力　Shift+F9：平均を入力"));
    sstMenu->setCornerWidget(lblSelection, Qt::TopRightCorner);

    const auto show = [this] { ShowSelectionTotals(); };
    connect(msgMei, &MeiGridView::selectedRangeChanged, this, show);
    // A value measured, typed, pasted or taken back inside the selection,
    // and a new grid size, which drops the selection.
    connect(msgMei->model(), &QAbstractItemModel::dataChanged, this, show);
    connect(msgMei->model(), &QAbstractItemModel::modelReset, this, show);
    connect(cmbSyosu, &QComboBox::currentIndexChanged, this, show);
}

void frmTab::ShowSelectionTotals() {
    const CellRange range = msgMei->SelectedRange();
    lblSelection->setText(range.Cells() < 2
                              ? QString()
                              : RangeTotals::Of(grid_, range).Line(cmbSyosu->currentIndex()));
}

void frmTab::PutSelectionTotal(bool mean) {
    const CellRange range = msgMei->SelectedRange();
    if (range.Cells() < 2) return;
    const RangeTotals totals = RangeTotals::Of(grid_, range);
    if (totals.Count() == 0) return;
    // The first cell after the selection in the fill direction: below its
    // last row in its first column when filling down, right of its last
    // column in its first row when filling across.
    const int row = FillsDown() ? range.bottom + 1 : range.top;
    const int col = FillsDown() ? range.left : range.right + 1;
    if (row >= grid_.Rows() || col >= grid_.Cols()) return;
    // A value that cannot be written is not put: the cursor stays, and the
    // figure being measured keeps its points.
    const double value = mean ? totals.Mean() : totals.Sum();
    if (FormatDecimals(value, cmbSyosu->currentIndex()).isEmpty()) return;
    // One step of undo, which puts the cursor back into the selection.
    undo_.Begin();
    grid_.SetRow(row);
    grid_.SetCol(col);
    PutValue(value, true);
    undo_.End();
}
