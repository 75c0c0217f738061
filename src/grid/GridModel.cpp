#include "grid/GridModel.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace {

// A grid needs at least one data row and one data column besides its headers.
constexpr int kMinSize = 2;

const QString& EmptyText() {
    static const QString empty;
    return empty;
}

const CellTagPtr& NoTag() {
    static const CellTagPtr none;
    return none;
}

const std::vector<QString>& EmptyRow() {
    static const std::vector<QString> empty;
    return empty;
}

std::size_t Index(int i) { return static_cast<std::size_t>(i); }

}  // namespace

GridModel::GridModel(int rows, int cols)
    : rows_(std::max(rows, kMinSize)), cols_(std::max(cols, kMinSize)) {
    cells_.resize(Index(rows_));
    usedPerRow_.resize(Index(rows_), 0);
    usedPerCol_.resize(Index(cols_), 0);
}

bool GridModel::IsBlank(const QString& text) {
    // Only the space counts: a tab or a full-width space typed into a cell is
    // content the operator put there.
    return std::all_of(text.cbegin(), text.cend(), [](QChar ch) { return ch == QLatin1Char(' '); });
}

void GridModel::Count(int row, int col, int delta) {
    if (row == 0 || col == 0) {
        return;
    }
    int& perRow = usedPerRow_[Index(row)];
    int& perCol = usedPerCol_[Index(col)];
    perRow += delta;
    perCol += delta;
    if (delta > 0) {
        usedRows_ = std::max(usedRows_, row);
        usedCols_ = std::max(usedCols_, col);
        return;
    }
    // The maxima only fall back as far as the next row or column still in
    // use; over a run of writes that costs each row or column once.
    while (usedRows_ > 0 && usedPerRow_[Index(usedRows_)] == 0) {
        --usedRows_;
    }
    while (usedCols_ > 0 && usedPerCol_[Index(usedCols_)] == 0) {
        --usedCols_;
    }
}

void GridModel::Drop(int row, int col, QString& cell) {
    if (cell.isNull()) {
        return;
    }
    if (row > 0 && col > 0) {
        ++changes_;
        dataChars_ -= cell.size();
        if (recorder_ != nullptr) recorder_->CellChanging(row, col, cell);
        DropTag(row, col);
    }
    if (!IsBlank(cell)) {
        Count(row, col, -1);
    }
    cell = QString();
}

void GridModel::DropTag(int row, int col) {
    if (!tags_.empty() && tags_.erase(CellKey(row, col)) != 0) ++tagChanges_;
}

const CellTagPtr& GridModel::Tag(int row, int col) const {
    if (tags_.empty()) return NoTag();
    const auto it = tags_.find(CellKey(row, col));
    return it == tags_.end() ? NoTag() : it->second;
}

bool GridModel::SetTag(int row, int col, CellTagPtr tag) {
    if (row < FixedRows() || col < FixedCols() || row >= rows_ || col >= cols_) return false;
    const QString& text = TextMatrix(row, col);
    if (text.isEmpty()) return false;
    if (Tag(row, col) == tag) return true;
    if (recorder_ != nullptr) recorder_->CellChanging(row, col, text);
    ++tagChanges_;
    if (tag) {
        tags_[CellKey(row, col)] = std::move(tag);
    } else {
        tags_.erase(CellKey(row, col));
    }
    if (observer_ != nullptr) {
        observer_->CellChanged(row, col);
    }
    return true;
}

void GridModel::SetRows(int rows) {
    rows = std::max(rows, kMinSize);
    for (int row = rows; row < rows_; ++row) {
        std::vector<QString>& cells = cells_[Index(row)];
        for (std::size_t col = 1; col < cells.size(); ++col) {
            Drop(row, static_cast<int>(col), cells[col]);
        }
    }
    cells_.resize(Index(rows));
    usedPerRow_.resize(Index(rows), 0);
    Resize(rows_, row_, rows);
}

void GridModel::SetCols(int cols) {
    cols = std::max(cols, kMinSize);
    if (cols < cols_) {
        for (int row = 0; row < rows_; ++row) {
            std::vector<QString>& cells = cells_[Index(row)];
            for (std::size_t col = Index(cols); col < cells.size(); ++col) {
                Drop(row, static_cast<int>(col), cells[col]);
            }
            if (cells.size() > Index(cols)) {
                cells.resize(Index(cols));
            }
        }
        // Widths are held only up to the highest column given one, so a wide
        // grid costs nothing until its widths are set.
        if (colWidths_.size() > Index(cols)) {
            colWidths_.resize(Index(cols));
        }
    }
    usedPerCol_.resize(Index(cols), 0);
    Resize(cols_, col_, cols);
}

void GridModel::Resize(int& size, int& cursor, int newSize) {
    if (newSize == size) {
        return;
    }
    size = newSize;
    const bool cursorMoved = cursor >= size;
    if (cursorMoved) {
        cursor = size - 1;
    }
    if (observer_ != nullptr) {
        observer_->SizeChanged();
        if (cursorMoved) {
            observer_->CursorChanged();
        }
    }
}

bool GridModel::SetRow(int row) {
    if (row < FixedRows() || row >= rows_) {
        return false;
    }
    if (row != row_) {
        row_ = row;
        if (observer_ != nullptr) {
            observer_->CursorChanged();
        }
    }
    return true;
}

bool GridModel::SetCol(int col) {
    if (col < FixedCols() || col >= cols_) {
        return false;
    }
    if (col != col_) {
        col_ = col;
        if (observer_ != nullptr) {
            observer_->CursorChanged();
        }
    }
    return true;
}

const QString& GridModel::TextMatrix(int row, int col) const {
    if (row < 0 || col < 0 || row >= rows_ || col >= cols_) {
        return EmptyText();
    }
    const std::vector<QString>& cells = cells_[Index(row)];
    return Index(col) < cells.size() ? cells[Index(col)] : EmptyText();
}

const std::vector<QString>& GridModel::RowCells(int row) const {
    if (row < 0 || row >= rows_) {
        return EmptyRow();
    }
    return cells_[Index(row)];
}

void GridModel::ReserveCells(int row, int lastCol) {
    if (row < 0 || row >= rows_) {
        return;
    }
    cells_[Index(row)].reserve(Index(std::clamp(lastCol, 0, cols_ - 1)) + 1);
}

bool GridModel::SetTextMatrix(int row, int col, QString text) {
    if (row < 0 || col < 0 || row >= rows_ || col >= cols_) {
        return false;
    }
    std::vector<QString>& cells = cells_[Index(row)];
    if (Index(col) >= cells.size()) {
        if (text.isEmpty()) {
            // Nothing stored and nothing to store: the row stays short.
            if (observer_ != nullptr) {
                observer_->CellChanged(row, col);
            }
            return true;
        }
        cells.resize(Index(col) + 1);
    }
    QString& cell = cells[Index(col)];
    if (row > 0 && col > 0) {
        // A write lets the cell's tag go even when the text stays the same:
        // a value typed over is no longer the measured one.
        const bool tagged = !tags_.empty() && tags_.count(CellKey(row, col)) != 0;
        if (cell != text) {
            ++changes_;
        }
        if (cell != text || tagged) {
            if (recorder_ != nullptr) recorder_->CellChanging(row, col, cell);
        }
        if (tagged) DropTag(row, col);
    }
    const bool wasUsed = !cell.isNull() && !IsBlank(cell);
    const bool nowUsed = !IsBlank(text);
    if (row > 0 && col > 0) dataChars_ += text.size() - cell.size();
    // An empty text is stored as a null one, so that emptied cells read the
    // same as cells never written.
    if (text.isEmpty()) {
        cell = QString();
    } else {
        cell = std::move(text);
    }
    if (wasUsed != nowUsed) {
        Count(row, col, nowUsed ? 1 : -1);
    }
    if (observer_ != nullptr) {
        observer_->CellChanged(row, col);
    }
    return true;
}

int GridModel::ColWidth(int col) const {
    if (col < 0 || Index(col) >= colWidths_.size()) {
        return -1;
    }
    return colWidths_[Index(col)];
}

void GridModel::SetColWidth(int col, int twips) {
    if (col < 0 || col >= cols_) {
        return;
    }
    const auto index = Index(col);
    if (index >= colWidths_.size()) {
        colWidths_.resize(index + 1, -1);
    }
    colWidths_[index] = twips;
    if (observer_ != nullptr) {
        observer_->ColWidthChanged(col);
    }
}

int GridModel::UsedOutside(int rows, int cols) const {
    int outside = 0;
    for (int row = 1; row <= usedRows_; ++row) {
        const std::vector<QString>& cells = cells_[Index(row)];
        for (std::size_t col = 1; col < cells.size(); ++col) {
            if ((row >= rows || static_cast<int>(col) >= cols) && !cells[col].isNull() &&
                !IsBlank(cells[col]))
                ++outside;
        }
    }
    return outside;
}

void GridModel::ClearData() {
    if (usedRows_ > 0) ++changes_;
    // Header cells stay: row 0 whole, and column 0 of every other row.
    for (int row = 1; row < rows_; ++row) {
        std::vector<QString>& cells = cells_[Index(row)];
        if (recorder_ != nullptr) {
            for (std::size_t col = 1; col < cells.size(); ++col) {
                if (!cells[col].isNull()) {
                    recorder_->CellChanging(row, static_cast<int>(col), cells[col]);
                }
            }
        }
        if (cells.size() > 1) {
            cells.resize(1);
        }
    }
    if (!tags_.empty()) {
        tags_.clear();
        ++tagChanges_;
    }
    std::fill(usedPerRow_.begin(), usedPerRow_.end(), 0);
    std::fill(usedPerCol_.begin(), usedPerCol_.end(), 0);
    usedRows_ = 0;
    usedCols_ = 0;
    dataChars_ = 0;
    if (observer_ != nullptr) {
        observer_->SizeChanged();
    }
}
