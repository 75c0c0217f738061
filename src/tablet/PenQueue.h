#pragma once

#include <cstdint>
#include <deque>
#include <optional>

// One pen point as a tablet library hands it out: the diagnostic (log)
// coordinates, the measured pen coordinates in tablet counts, and whether it
// ends a stroke.
struct PenPoint {
    std::int32_t logX = 0;
    std::int32_t logY = 0;
    std::int32_t penX = 0;
    std::int32_t penY = 0;
    std::int32_t strokeEnd = 0;
    // From the on-screen pad rather than a tablet: both can feed one
    // library when a tablet is plugged in while the pad stands in for it.
    bool onScreen = false;
};

// What a tablet library holds between notifications: its queued points and
// side-switch presses, in pen order. A side press is reported only once the
// points before it have been taken, so picks followed by the side switch are
// measured before the figure is ended, however they were batched. Every
// library shares it, so that they answer PadlinkWintab, PadlinkGetData and
// PadlinkGetDataCnt the same way.
class PenQueue {
public:
    void PushPoint(const PenPoint& point);
    void PushSide();

    // PadlinkWintab's count: -1 when a side press is next (taken now), else
    // the number of points before the next side press.
    std::int32_t Announce();
    // PadlinkGetData: takes the oldest point; all zeros when none waits
    // before the next side press.
    void Take(std::int32_t& lLogX, std::int32_t& lLogY, std::int32_t& lPenX, std::int32_t& lPenY,
              std::int32_t& lStrokeEnd);
    // PadlinkGetDataCnt: points that can be taken before the next side press.
    std::int32_t Count() const;
    // A side press waits behind the points that can be taken now: the
    // library must announce again once those are taken.
    bool SideWaitsBehind() const { return !sides_.empty() && sides_.front() > taken_; }
    bool Empty() const { return points_.empty() && sides_.empty(); }
    // Where the point Take last handed out came from; none before the first.
    std::optional<bool> LastTakenOnScreen() const { return lastOnScreen_; }

private:
    std::deque<PenPoint> points_;
    // For each side press, how many points had been queued before it, counted
    // from the first point ever queued.
    std::deque<std::uint64_t> sides_;
    std::uint64_t pushed_ = 0;
    std::uint64_t taken_ = 0;
    std::optional<bool> lastOnScreen_;
};
