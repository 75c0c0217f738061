#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <optional>

#include "tablet/TabletNotice.h"

// The window that a tablet library notifies. On Windows this would be the
// window handle; here it is the window object, to which the library posts a
// WintabPacketEvent.
using WindowHandle = QObject*;

// The tablet library contract: seven entry points with 32-bit signed
// arguments and results. A library, once initialised with a window, posts
// that window a WintabPacketEvent (message WT_PACKET) whenever pen events are
// ready; the window then asks PadlinkWintab how many points wait and fetches
// them one by one with PadlinkGetData. All calls come from the user-interface
// thread.
class PadLink {
  public:
    virtual ~PadLink() = default;

    // From now on `window` receives WintabPacketEvent when pen events are
    // ready. debugSwitch is -1 for the diagnostic mode, else 0.
    virtual void PadlinkInit(WindowHandle window, std::int32_t debugSwitch,
                             std::int32_t reserved) = 0;
    // Called once with 2 after PadlinkInit; nothing is relied on.
    virtual void PadlinkSetMove(std::int32_t value) = 0;
    // 1: deliver the points of pen strokes and mark each stroke's last point;
    // 0: deliver picked points.
    virtual void PadlinkSetMode(std::int32_t mode) = 0;
    // Above 0: that many points can be fetched. 0: nothing to do. Below 0:
    // the pen's side switch was pressed.
    virtual std::int32_t PadlinkWintab(std::int32_t wParam, std::int32_t lParam) = 0;
    // Takes the oldest queued point. lPenX, lPenY: its tablet coordinates in
    // counts. lLogX, lLogY: only listed for diagnosis. lStrokeEnd: 1 on the
    // point that ends a stroke.
    virtual void PadlinkGetData(std::int32_t reserved, std::int32_t& lLogX, std::int32_t& lLogY,
                                std::int32_t& lPenX, std::int32_t& lPenY,
                                std::int32_t& lStrokeEnd) = 0;
    // Points still queued.
    virtual std::int32_t PadlinkGetDataCnt() = 0;
    // The library stops posting to the window.
    virtual void PadlinkClose() = 0;

    // Beyond the seven entry points, for the window's own use.
    //
    // Whether the pen works for this program alone (true: while a run or a
    // calibration collects points, no tap also clicks the desktop) or is
    // shared with the rest of the desktop again (false). False when the pen
    // could not be kept for this program (another program holds the
    // tablet); the library then goes on delivering points as before.
    virtual bool SetPenExclusive(bool exclusive) {
        (void)exclusive;
        return true;
    }
    // Whether SetPenExclusive can make any difference with this library.
    virtual bool CanHoldPen() const { return false; }
    // Where the library tells what the operator must know about the tablet
    // itself (unplugged, plugged in, a point lost, nothing to play); called
    // on the user-interface thread. Libraries with nothing to tell ignore it.
    virtual void SetNoticeSink(std::function<void(const TabletNotice&)> sink) { (void)sink; }
    // Whether the point PadlinkGetData last gave came from the on-screen pad
    // (true) or a tablet (false); none where the library cannot tell.
    virtual std::optional<bool> LastPointOnScreen() const { return std::nullopt; }
};
