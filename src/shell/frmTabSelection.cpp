// Totals of the selected cells: the line that tells them while several cells
// are selected, and F9 and Shift+F9, which put the total or the mean into the
// grid as a measured value is put, so that a planimeter's accumulate and
// average are one key each.

#include <QComboBox>
#include <QLabel>

#include "grid/ui/MeiGridView.h"
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
    lblSelection->setText(selectionTotals_.Line(msgMei->SelectedRange(), cmbSyosu->currentIndex()));
}

void frmTab::PutSelectionTotal(bool mean) {
    const CellRange range = msgMei->SelectedRange();
    // A value that cannot be written is not put: the cursor stays, and the
    // figure being measured keeps its points.
    const auto target = selectionTotals_.Next(range, FillsDown(), mean, cmbSyosu->currentIndex());
    if (!target) return;
    // One step of undo, which puts the cursor back into the selection.
    undo_.Begin();
    grid_.SetRow(target->row);
    grid_.SetCol(target->col);
    PutValue(target->value, true);
    undo_.End();
    selectionTotals_.Written(range, FillsDown(), target->row, target->col);
}
