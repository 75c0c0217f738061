#pragma once

#include "grid/GridModel.h"

#include <QAbstractTableModel>

// Shows a GridModel in a QTableView: the table's cells are the data cells,
// its horizontal and vertical headers are the model's header row 0 and
// header column 0, so their texts are what the layout wrote there.
class GridTableModel : public QAbstractTableModel, private GridModel::Observer {
    Q_OBJECT
public:
    explicit GridTableModel(GridModel& grid, QObject* parent = nullptr);
    ~GridTableModel() override;

    // While a bulk change runs (a paste or load of many values, a grid laid
    // out anew), cell, header and cursor changes are not reported one by one;
    // ending it reports them once.
    void BeginBulkChange() { bulk_ = true; }
    void EndBulkChange();

    GridModel& Grid() { return grid_; }
    const GridModel& Grid() const { return grid_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    void cursorChanged();
    void colWidthChanged(int col);

private:
    void CellChanged(int row, int col) override;
    void SizeChanged() override;
    void CursorChanged() override;
    void ColWidthChanged(int col) override;

    GridModel& grid_;
    bool bulk_ = false;
    // Row and column header texts changed during the bulk change.
    bool rowHeadersChanged_ = false;
    bool colHeadersChanged_ = false;
};
