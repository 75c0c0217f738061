#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "tablet/QueuedPadLink.h"

// A scripted tablet library for tests, on the queue every library shares.
// Tests queue picks, strokes and side switch presses, then call Notify() to
// post WT_PACKET to the window as a real library would (or call the intake
// directly). It records the calls it receives, and can tell the window what
// a library tells of its tablet.
class FakePadLink : public QueuedPadLink {
  public:
    using Point = PenPoint;

    // Queue a pick (one point, lStrokeEnd as given), or a stroke (all points,
    // lStrokeEnd 1 on the last). lLogX/lLogY equal the pen coordinates.
    void PushPick(std::int32_t x, std::int32_t y, std::int32_t strokeEnd = 0);
    void PushStroke(const std::vector<std::pair<std::int32_t, std::int32_t>>& points);
    void PushPoint(const Point& point);
    // The next PadlinkWintab reports the side switch.
    void PushSide();
    // Overrides the next PadlinkWintab results (tests of odd counts).
    void ScriptWintab(std::int32_t count) { scriptedWintab_.push_back(count); }
    // Overrides the next PadlinkGetDataCnt results.
    void ScriptDataCnt(std::int32_t count) { scriptedDataCnt_.push_back(count); }

    // Posts WT_PACKET to the initialised window.
    void Notify();

    std::size_t Queued() const { return static_cast<std::size_t>(Queue().Count()); }

    // What the library received.
    WindowHandle window = nullptr;
    std::int32_t debugSwitch = 0;
    std::vector<std::int32_t> setModeCalls;
    std::int32_t mode = 0;
    int initCalls = 0;
    int closeCalls = 0;
    int getDataCalls = 0;
    // SetPenExclusive: every request in order, and what the next ones answer.
    std::vector<bool> exclusiveCalls;
    bool exclusiveHolds = true;
    bool canHoldPen = true;

    void PadlinkInit(WindowHandle window, std::int32_t debugSwitch, std::int32_t reserved) override;
    void PadlinkSetMode(std::int32_t mode) override;
    std::int32_t PadlinkWintab(std::int32_t wParam, std::int32_t lParam) override;
    void PadlinkGetData(std::int32_t reserved, std::int32_t& lLogX, std::int32_t& lLogY,
                        std::int32_t& lPenX, std::int32_t& lPenY,
                        std::int32_t& lStrokeEnd) override;
    std::int32_t PadlinkGetDataCnt() override;
    void PadlinkClose() override;
    bool SetPenExclusive(bool exclusive) override;
    bool CanHoldPen() const override { return canHoldPen; }

  private:
    std::deque<std::int32_t> scriptedWintab_;
    std::deque<std::int32_t> scriptedDataCnt_;
};
