#include "grid/ui/GridTableModel.h"

GridTableModel::GridTableModel(GridModel& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid) {
    grid_.SetObserver(this);
}

GridTableModel::~GridTableModel() { grid_.SetObserver(nullptr); }

int GridTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_.Rows() - 1;
}

int GridTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_.Cols() - 1;
}

QVariant GridTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole) return grid_.TextMatrix(index.row() + 1, index.column() + 1);
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant GridTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    return orientation == Qt::Horizontal ? grid_.TextMatrix(0, section + 1)
                                         : grid_.TextMatrix(section + 1, 0);
}

void GridTableModel::EndBulkChange() {
    bulk_ = false;
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
    // One signal a header, where numbering 10,000 rows one by one costs the
    // views about 10 ms.
    if (rowHeadersChanged_ && rowCount() > 0) emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
    if (colHeadersChanged_ && columnCount() > 0)
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    rowHeadersChanged_ = false;
    colHeadersChanged_ = false;
    emit cursorChanged();
}

void GridTableModel::CellChanged(int row, int col) {
    if (bulk_) {
        rowHeadersChanged_ = rowHeadersChanged_ || (col == 0 && row > 0);
        colHeadersChanged_ = colHeadersChanged_ || (row == 0 && col > 0);
        return;
    }
    if (row == 0 && col > 0) {
        emit headerDataChanged(Qt::Horizontal, col - 1, col - 1);
    } else if (col == 0 && row > 0) {
        emit headerDataChanged(Qt::Vertical, row - 1, row - 1);
    } else if (row > 0 && col > 0) {
        const QModelIndex i = index(row - 1, col - 1);
        emit dataChanged(i, i, {Qt::DisplayRole});
    }
}

void GridTableModel::SizeChanged() {
    beginResetModel();
    endResetModel();
    emit cursorChanged();
}

void GridTableModel::CursorChanged() {
    if (!bulk_) emit cursorChanged();
}

void GridTableModel::ColWidthChanged(int col) { emit colWidthChanged(col); }
