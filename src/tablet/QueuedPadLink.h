#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "tablet/PadLink.h"
#include "tablet/PenInput.h"
#include "tablet/PenQueue.h"
#include "tablet/PenTracker.h"
#include "tablet/TabletNotice.h"

// What every tablet library shares: the queue of points and side presses
// between the devices and the window, the notifications that tell the window
// of them, and the inputs that feed the queue. A source only turns its
// device's events into frames for a Pen (or, for a replay, points straight
// into the queue) and calls Deliver(); how the window is told lives here, once.
//
// Notifications: one WintabPacketEvent is out at a time, for whatever arrived
// since the window last called PadlinkWintab, so a fast stroke costs the
// window one notification per trip through the message loop, not one per
// frame. When PadlinkWintab's answer leaves something unannounced (a side
// press behind the points it announced, or points behind the side press it
// announced) the library posts again at once, so that nothing waits for the
// pen's next event. Points the window leaves untaken (a two-point distance
// stops after its second) wait for the next input, as the contract says.
//
// Without inputs it is the library that delivers nothing.
class QueuedPadLink : public PadLink {
  public:
    // One device's pen: a state machine of its own (a tip held on one device
    // never mixes with another's), in the library's mode, feeding the shared
    // queue. Create it in PenInput::Start.
    class Pen {
      public:
        // `onScreen`: the on-screen pad's pen, not a tablet's.
        explicit Pen(QueuedPadLink& link, bool onScreen = false) : link_(link), tracker_(link.queue_) {
            tracker_.SetOnScreen(onScreen);
        }
        // A frame of the device; what it adds goes out to the window.
        void Frame(const PenFrame& frame);

      private:
        QueuedPadLink& link_;
        PenTracker tracker_;
    };

    QueuedPadLink() = default;
    ~QueuedPadLink() override;
    QueuedPadLink(const QueuedPadLink&) = delete;
    QueuedPadLink& operator=(const QueuedPadLink&) = delete;

    // Started at PadlinkInit (at once when the library is open already) and
    // stopped at PadlinkClose.
    void AddInput(std::unique_ptr<PenInput> input);

    void PadlinkInit(WindowHandle window, std::int32_t debugSwitch, std::int32_t reserved) override;
    void PadlinkSetMove(std::int32_t value) override;
    void PadlinkSetMode(std::int32_t mode) override;
    std::int32_t PadlinkWintab(std::int32_t wParam, std::int32_t lParam) override;
    void PadlinkGetData(std::int32_t reserved, std::int32_t& lLogX, std::int32_t& lLogY,
                        std::int32_t& lPenX, std::int32_t& lPenY,
                        std::int32_t& lStrokeEnd) override;
    std::int32_t PadlinkGetDataCnt() override;
    void PadlinkClose() override;

    bool SetPenExclusive(bool exclusive) override;
    bool CanHoldPen() const override;
    void SetNoticeSink(std::function<void(const TabletNotice&)> sink) override;
    std::optional<bool> LastPointOnScreen() const override { return queue_.LastTakenOnScreen(); }

    // The library's mode as PadlinkSetMode last set it.
    std::int32_t Mode() const { return mode_; }
    // Between PadlinkInit with a window and PadlinkClose.
    bool IsOpen() const { return window_ != nullptr; }
    // The window the library notifies; null while it is not open.
    WindowHandle Window() const { return window_; }
    // Tells the window of what waits, unless a notification is out already.
    void Deliver();
    // Tells the operator, through the window, and standard error.
    void Tell(const TabletNotice& notice);

  protected:
    PenQueue& Queue() { return queue_; }
    const PenQueue& Queue() const { return queue_; }

  private:
    void Post();

    PenQueue queue_;
    std::vector<std::unique_ptr<PenInput>> inputs_;
    std::function<void(const TabletNotice&)> noticeSink_;
    WindowHandle window_ = nullptr;
    std::int32_t mode_ = 0;
    // A notification is on its way and PadlinkWintab has not taken it yet.
    bool posted_ = false;
};
