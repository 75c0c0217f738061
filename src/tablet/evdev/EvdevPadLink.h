#pragma once

#include <memory>

#include "EvdevDecoder.h"
#include "EvdevEventSource.h"
#include "PadLink.h"
#include "PenQueue.h"
#include "PenTracker.h"

// The tablet library for Linux: a tablet's evdev events, from a device node
// or a recording, go through the decoder into the pen tracker, whose points
// and side presses wait in the queue until the window takes them.
//
// Points are announced in batches: one WintabPacketEvent is posted for
// whatever arrived since the window last called PadlinkWintab, so a fast
// stroke costs the window one notification per trip through the message
// loop, not one per frame. When a side press waits behind the announced
// points, or points wait behind an announced side press, the library posts
// again so that they get a notification of their own.
class EvdevPadLink : public PadLink {
  public:
    explicit EvdevPadLink(std::unique_ptr<EvdevEventSource> source);
    ~EvdevPadLink() override;

    void PadlinkInit(WindowHandle window, std::int32_t debugSwitch, std::int32_t reserved) override;
    void PadlinkSetMove(std::int32_t value) override;
    void PadlinkSetMode(std::int32_t mode) override;
    std::int32_t PadlinkWintab(std::int32_t wParam, std::int32_t lParam) override;
    void PadlinkGetData(std::int32_t reserved, std::int32_t& lLogX, std::int32_t& lLogY,
                        std::int32_t& lPenX, std::int32_t& lPenY,
                        std::int32_t& lStrokeEnd) override;
    std::int32_t PadlinkGetDataCnt() override;
    void PadlinkClose() override;

    const EvdevEventSource& Source() const { return *source_; }

  private:
    void Receive(std::uint16_t type, std::uint16_t code, std::int32_t value);
    void Post();

    std::unique_ptr<EvdevEventSource> source_;
    PenQueue queue_;
    PenTracker tracker_{queue_};
    EvdevDecoder decoder_;
    WindowHandle window_ = nullptr;
    // A notification is on its way and PadlinkWintab has not taken it yet.
    bool posted_ = false;
};
