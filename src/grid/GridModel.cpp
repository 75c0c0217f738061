#include "GridModel.h"

#include <algorithm>
#include <utility>

namespace {

// A grid needs at least one data row and one data column besides its headers.
constexpr int kMinSize = 2;

const QString& EmptyText() {
    static const QString empty;
    return empty;
}

bool IsHeader(int row, int col) { return row == 0 || col == 0; }

}  // namespace

GridModel::GridModel(int rows, int cols)
    : rows_(std::max(rows, kMinSize)), cols_(std::max(cols, kMinSize)) {}

bool GridModel::IsBlank(const QString& text) {
    // Only the space counts: a tab or a full-width space typed into a cell is
    // content the operator put there.
    return std::all_of(text.cbegin(), text.cend(), [](QChar ch) { return ch == QLatin1Char(' '); });
}

void GridModel::Count(int row, int col, int delta) {
    if (IsHeader(row, col)) {
        return;
    }
    auto bump = [delta](std::map<int, int>& counts, int key) {
        auto it = counts.try_emplace(key, 0).first;
        it->second += delta;
        if (it->second <= 0) {
            counts.erase(it);
        }
    };
    bump(usedPerRow_, row);
    bump(usedPerCol_, col);
}

void GridModel::DropOutside() {
    for (auto it = cells_.begin(); it != cells_.end();) {
        const int row = static_cast<int>(static_cast<std::uint32_t>(it->first >> 32));
        const int col = static_cast<int>(static_cast<std::uint32_t>(it->first & 0xFFFFFFFFu));
        if (row < rows_ && col < cols_) {
            ++it;
            continue;
        }
        if (!IsBlank(it->second)) {
            Count(row, col, -1);
        }
        it = cells_.erase(it);
    }
    // Widths are held only up to the highest column given one, so a wide grid
    // costs nothing until its widths are set.
    if (colWidths_.size() > static_cast<std::size_t>(cols_)) {
        colWidths_.resize(static_cast<std::size_t>(cols_));
    }
}

void GridModel::SetRows(int rows) { Resize(rows_, row_, rows); }

void GridModel::SetCols(int cols) { Resize(cols_, col_, cols); }

void GridModel::Resize(int& size, int& cursor, int newSize) {
    newSize = std::max(newSize, kMinSize);
    if (newSize == size) {
        return;
    }
    const bool shrinking = newSize < size;
    size = newSize;
    if (shrinking) {
        DropOutside();
    }
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
    const auto it = cells_.find(Key(row, col));
    return it == cells_.end() ? EmptyText() : it->second;
}

bool GridModel::SetTextMatrix(int row, int col, const QString& text) {
    if (row < 0 || col < 0 || row >= rows_ || col >= cols_) {
        return false;
    }
    const bool nowUsed = !IsBlank(text);
    const auto it = cells_.find(Key(row, col));
    const bool wasUsed = it != cells_.end() && !IsBlank(it->second);
    if (text.isEmpty()) {
        // An empty cell is simply absent, which keeps the table sparse.
        if (it != cells_.end()) {
            cells_.erase(it);
        }
    } else if (it != cells_.end()) {
        it->second = text;
    } else {
        cells_.emplace(Key(row, col), text);
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
    if (col < 0 || static_cast<std::size_t>(col) >= colWidths_.size()) {
        return -1;
    }
    return colWidths_[static_cast<std::size_t>(col)];
}

void GridModel::SetColWidth(int col, int twips) {
    if (col < 0 || col >= cols_) {
        return;
    }
    const auto index = static_cast<std::size_t>(col);
    if (index >= colWidths_.size()) {
        colWidths_.resize(index + 1, -1);
    }
    colWidths_[index] = twips;
    if (observer_ != nullptr) {
        observer_->ColWidthChanged(col);
    }
}

int GridModel::UsedRows() const { return usedPerRow_.empty() ? 0 : usedPerRow_.rbegin()->first; }

int GridModel::UsedCols() const { return usedPerCol_.empty() ? 0 : usedPerCol_.rbegin()->first; }

void GridModel::ClearData() {
    // Keep the header cells and drop the rest in one go, walking whichever is
    // smaller: the stored cells or the header positions.
    std::unordered_map<std::uint64_t, QString> headers;
    const auto headerCount = static_cast<std::size_t>(rows_) + static_cast<std::size_t>(cols_);
    if (cells_.size() <= headerCount) {
        for (auto& [key, text] : cells_) {
            const auto row = static_cast<std::uint32_t>(key >> 32);
            const auto col = static_cast<std::uint32_t>(key & 0xFFFFFFFFu);
            if (row == 0 || col == 0) {
                headers.emplace(key, std::move(text));
            }
        }
    } else {
        auto keep = [this, &headers](int row, int col) {
            const auto it = cells_.find(Key(row, col));
            if (it != cells_.end()) {
                headers.emplace(it->first, std::move(it->second));
            }
        };
        for (int col = 0; col < cols_; ++col) {
            keep(0, col);
        }
        for (int row = 1; row < rows_; ++row) {
            keep(row, 0);
        }
    }
    cells_ = std::move(headers);
    usedPerRow_.clear();
    usedPerCol_.clear();
    if (observer_ != nullptr) {
        observer_->SizeChanged();
    }
}
