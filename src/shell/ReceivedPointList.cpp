#include "ReceivedPointList.h"

#include "MeasureEngine.h"

#include <algorithm>

namespace {
constexpr auto kMax = static_cast<std::size_t>(ReceivedPointList::kMaxLines);
}

void ReceivedPointList::Append(std::int32_t logX, std::int32_t logY) {
    if (pending_.size() < kMax) {
        pending_.push_back({logX, logY});
        return;
    }
    // More points in one notification than lines are kept: the oldest of
    // them could never be shown.
    pending_[pendingFirst_] = {logX, logY};
    pendingFirst_ = (pendingFirst_ + 1) % kMax;
}

bool ReceivedPointList::Flush() {
    if (pending_.empty()) {
        return false;
    }
    if (ring_.empty()) {
        ring_.resize(kMax);
    }
    const std::size_t n = pending_.size();
    if (count_ + n > kMax) {
        const std::size_t dropped = count_ + n - kMax;
        beginRemoveRows(QModelIndex(), 0, static_cast<int>(dropped) - 1);
        first_ = (first_ + dropped) % kMax;
        count_ -= dropped;
        endRemoveRows();
    }
    beginInsertRows(QModelIndex(), static_cast<int>(count_), static_cast<int>(count_ + n) - 1);
    for (std::size_t i = 0; i < n; ++i) {
        ring_[(first_ + count_) % kMax] = pending_[(pendingFirst_ + i) % n];
        ++count_;
    }
    endInsertRows();
    pending_.clear();
    pendingFirst_ = 0;
    return true;
}

int ReceivedPointList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(count_);
}

const ReceivedPointList::Point& ReceivedPointList::At(int row) const {
    return ring_[(first_ + static_cast<std::size_t>(row)) % kMax];
}

QVariant ReceivedPointList::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    const Point& p = At(index.row());
    return ReceivedPointLine(p.x, p.y);
}
