#include "shell/ReceivedPointList.h"

#include "measure/MeasureEngine.h"

#include <algorithm>

namespace {
constexpr auto kMax = static_cast<std::size_t>(ReceivedPointList::kMaxLines);
}

void ReceivedPointList::Replace(std::int32_t logX, std::int32_t logY) {
    // More points in one notification than lines are kept: the oldest of
    // them could never be shown.
    pending_[pendingFirst_] = {logX, logY};
    pendingFirst_ = (pendingFirst_ + 1) % kMax;
}

void ReceivedPointList::CopyPending(std::size_t at) {
    // The pending points in the order they came: from pendingFirst_ to the
    // end, then from the start. Copied in runs, a ring slot per point.
    auto put = [&](const Point* from, std::size_t count) {
        while (count > 0) {
            const std::size_t run = std::min(count, kMax - at);
            std::copy_n(from, run, ring_.begin() + static_cast<std::ptrdiff_t>(at));
            from += run;
            count -= run;
            at = (at + run) % kMax;
        }
    };
    put(pending_.data() + pendingFirst_, pending_.size() - pendingFirst_);
    put(pending_.data(), pendingFirst_);
    pending_.clear();
    pendingFirst_ = 0;
}

bool ReceivedPointList::Flush() {
    if (pending_.empty()) {
        return false;
    }
    if (ring_.empty()) {
        ring_.resize(kMax);
    }
    const std::size_t n = pending_.size();
    if (count_ == kMax) {
        // Full: the lines keep their rows and each shows the line that many
        // points later. A long trace spends most of its time here, and
        // telling views of removed and inserted rows cost more than taking
        // the points in.
        CopyPending(first_);
        first_ = (first_ + n) % kMax;
        emit dataChanged(index(0), index(static_cast<int>(kMax) - 1), {Qt::DisplayRole});
        return true;
    }
    if (count_ + n > kMax) {
        const std::size_t dropped = count_ + n - kMax;
        beginRemoveRows(QModelIndex(), 0, static_cast<int>(dropped) - 1);
        first_ = (first_ + dropped) % kMax;
        count_ -= dropped;
        endRemoveRows();
    }
    beginInsertRows(QModelIndex(), static_cast<int>(count_), static_cast<int>(count_ + n) - 1);
    CopyPending((first_ + count_) % kMax);
    count_ += n;
    endInsertRows();
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
