#include "tablet/PenQueue.h"

#include <algorithm>
#include <limits>

void PenQueue::PushPoint(const PenPoint& point) {
    points_.push_back(point);
    ++pushed_;
}

void PenQueue::PushSide() { sides_.push_back(pushed_); }

std::int32_t PenQueue::Count() const {
    const std::uint64_t limit = sides_.empty() ? pushed_ : sides_.front();
    const std::uint64_t count = limit - taken_;
    return static_cast<std::int32_t>(
        std::min<std::uint64_t>(count, std::numeric_limits<std::int32_t>::max()));
}

std::int32_t PenQueue::Announce() {
    if (!sides_.empty() && sides_.front() == taken_) {
        sides_.pop_front();
        return -1;
    }
    return Count();
}

void PenQueue::Take(std::int32_t& lLogX, std::int32_t& lLogY, std::int32_t& lPenX,
                    std::int32_t& lPenY, std::int32_t& lStrokeEnd) {
    PenPoint point;
    if (Count() > 0) {
        point = points_.front();
        points_.pop_front();
        ++taken_;
        lastOnScreen_ = point.onScreen;
    }
    lLogX = point.logX;
    lLogY = point.logY;
    lPenX = point.penX;
    lPenY = point.penY;
    lStrokeEnd = point.strokeEnd;
}
