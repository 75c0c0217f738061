#pragma once

#include <QString>
#include <cstdint>
#include <functional>

#include "TabletAxes.h"

// Where the evdev tablet library's events come from: a device node read
// through libevdev, or a recording played back in real time. Either hands
// every event to the sink, in order, on the user-interface thread, and
// reports a lost stretch of events as SYN_DROPPED followed by events that
// bring the state up to date and a SYN_REPORT.
class EvdevEventSource {
  public:
    using Sink = std::function<void(std::uint16_t type, std::uint16_t code, std::int32_t value)>;

    virtual ~EvdevEventSource() = default;

    // The device's name and its X and Y axes.
    virtual QString Name() const = 0;
    virtual TabletAxes Axes() const = 0;

    // Events flow to the sink from now on, once the message loop runs.
    virtual void Start(Sink sink) = 0;
    // No event reaches the sink any more; a device is closed.
    virtual void Stop() = 0;
};
