#include "PenQueue.h"

std::int32_t PenQueue::Announce() {
    if (pendingSide_ > 0) {
        --pendingSide_;
        return -1;
    }
    return Count();
}

void PenQueue::Take(std::int32_t& lLogX, std::int32_t& lLogY, std::int32_t& lPenX,
                    std::int32_t& lPenY, std::int32_t& lStrokeEnd) {
    PenPoint point;
    if (!points_.empty()) {
        point = points_.front();
        points_.pop_front();
    }
    lLogX = point.logX;
    lLogY = point.logY;
    lPenX = point.penX;
    lPenY = point.penY;
    lStrokeEnd = point.strokeEnd;
}
