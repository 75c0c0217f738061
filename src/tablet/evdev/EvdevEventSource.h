#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "tablet/TabletAxes.h"

// What an evdev device holds when it is opened: the kernel sends no event
// for a value that does not change, so a pen already hovering or a puck
// already lying on the tablet is known only from this.
struct EvdevState {
    std::int32_t x = 0;
    std::int32_t y = 0;
    // EV_KEY codes held down: tools in proximity, the tip, buttons.
    std::vector<std::uint16_t> keys;
};

// Where the evdev tablet library's events come from: a device node read
// through libevdev, or a recording played back in real time. Either hands
// every event to the sink, in order, on the user-interface thread, and
// reports a lost stretch of events as SYN_DROPPED followed by events that
// bring the state up to date and a SYN_REPORT.
class EvdevEventSource {
  public:
    using Sink = std::function<void(std::uint16_t type, std::uint16_t code, std::int32_t value)>;

    virtual ~EvdevEventSource() = default;

    // The device's name and its X and Y axes, in its own counts.
    virtual QString Name() const = 0;
    virtual TabletAxes Axes() const = 0;
    // The device's state as it was when opened, before the first event the
    // sink receives; a recording starts from nothing held.
    virtual EvdevState State() const { return {}; }
    // Why starting it would give nothing at all (a recording without events,
    // say), in words for the operator; empty for a source worth reading.
    virtual QString NothingToPlay() const { return {}; }

    // Events flow to the sink from now on, once the message loop runs.
    // `gone` is called once when the device fails for good (most often: it
    // was unplugged); no event follows.
    virtual void Start(Sink sink, std::function<void()> gone = {}) = 0;
    // No event reaches the sink any more; a device is closed.
    virtual void Stop() = 0;

    // Keeps the device's events for this program alone (no other reader,
    // the desktop among them, sees them) or shares them again; false when
    // that failed (another program holds the device).
    virtual bool Grab(bool grab) {
        (void)grab;
        return true;
    }
    virtual bool CanGrab() const { return false; }
};
