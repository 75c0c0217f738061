#pragma once

#include <cstdint>
#include <deque>

// One pen point as a tablet library hands it out: the diagnostic (log)
// coordinates, the measured pen coordinates in tablet counts, and whether it
// ends a stroke.
struct PenPoint {
    std::int32_t logX = 0;
    std::int32_t logY = 0;
    std::int32_t penX = 0;
    std::int32_t penY = 0;
    std::int32_t strokeEnd = 0;
};

// What a tablet library holds between notifications: its queued points in
// pen order and the side-switch presses not yet reported. The stand-in
// libraries share it so that they answer PadlinkWintab, PadlinkGetData and
// PadlinkGetDataCnt the same way.
class PenQueue {
public:
    void PushPoint(const PenPoint& point) { points_.push_back(point); }
    void PushSide() { ++pendingSide_; }

    // PadlinkWintab's count: -1 for a waiting side press (taken now), else
    // the number of points that can be fetched.
    std::int32_t Announce();
    // PadlinkGetData: takes the oldest point; all zeros when none waits.
    void Take(std::int32_t& lLogX, std::int32_t& lLogY, std::int32_t& lPenX, std::int32_t& lPenY,
              std::int32_t& lStrokeEnd);
    // PadlinkGetDataCnt: points still queued.
    std::int32_t Count() const { return static_cast<std::int32_t>(points_.size()); }

private:
    std::deque<PenPoint> points_;
    int pendingSide_ = 0;
};
