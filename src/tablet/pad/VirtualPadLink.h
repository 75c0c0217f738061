#pragma once

#include <cstdint>

#include "PadLink.h"
#include "PadWindow.h"
#include "PenQueue.h"
#include "PenTracker.h"

// The tablet library of the on-screen pad, for an operator without a tablet:
// the pad window "仮想タブレット" is shown from PadlinkInit to PadlinkClose, and
// what is drawn on it reaches the main window as from any tablet library.
// Frames from the pad go through the shared pen state machine into the
// shared queue; one notification is posted for whatever arrived since the
// last one was taken, and another when a side press or points are left
// behind what was announced. The pad is also the figure display of the run.
class VirtualPadLink : public PadLink {
  public:
    VirtualPadLink();

    PadWindow& Window() { return window_; }

    void PadlinkInit(WindowHandle window, std::int32_t debugSwitch, std::int32_t reserved) override;
    void PadlinkSetMove(std::int32_t value) override;
    void PadlinkSetMode(std::int32_t mode) override;
    std::int32_t PadlinkWintab(std::int32_t wParam, std::int32_t lParam) override;
    void PadlinkGetData(std::int32_t reserved, std::int32_t& lLogX, std::int32_t& lLogY,
                        std::int32_t& lPenX, std::int32_t& lPenY,
                        std::int32_t& lStrokeEnd) override;
    std::int32_t PadlinkGetDataCnt() override;
    void PadlinkClose() override;

  private:
    void Frame(const PenFrame& frame);
    void Notify();

    PenQueue queue_;
    PenTracker tracker_{queue_};
    PadWindow window_;
    WindowHandle target_ = nullptr;
    // A notification is on its way and has not been taken yet.
    bool notified_ = false;
};
