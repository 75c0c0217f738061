#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "tablet/evdev/EvdevEventSource.h"
#include "tablet/PenTracker.h"
#include "tablet/TabletAxes.h"

// Turns a tablet's evdev event stream into pen frames: it keeps the axes,
// the tool in proximity and the buttons as the events change them, and at
// every SYN_REPORT hands the pen's state on as one frame, which the pen
// state machine makes the contract's points and side presses of. Knows
// nothing of files, devices or Qt: the device layer and the recording player
// feed it alike.
//
// Coordinates are the device's ABS_X / ABS_Y counts, brought to one count on
// both axes where the device reports unequal resolutions (TabletAxes); an
// axis minimum other than 0 stays in them (it cancels out of every distance).
// The tip is BTN_TOUCH; with a puck (BTN_TOOL_MOUSE, BTN_TOOL_LENS) in
// proximity also its first button (BTN_LEFT, or BTN_0 on generic HID
// digitizers). The side switch is BTN_STYLUS, BTN_STYLUS2 or BTN_STYLUS3, or
// a puck's second button (BTN_RIGHT, BTN_1). Everything else (pressure,
// tilt, MSC_SCAN, MSC_SERIAL, the tool's id) is ignored.
class EvdevDecoder {
  public:
    using FrameSink = std::function<void(const PenFrame&)>;

    EvdevDecoder(FrameSink sink, const TabletAxes& axes) : sink_(std::move(sink)), axes_(axes) {}

    // The device's state when it was opened, before its first event: hands
    // on one seed frame, which gives no point.
    void Seed(const EvdevState& state);
    // One event as read from the device: type, code and value of an
    // input_event.
    void Feed(std::uint16_t type, std::uint16_t code, std::int32_t value);

    const TabletAxes& Axes() const { return axes_; }

  private:
    // Where a key is kept in keys_; kKeyCount for one this decoder ignores.
    static std::size_t KeyIndex(std::uint16_t code);
    bool Held(std::uint16_t code) const;
    bool PuckThere() const;
    // A pen or a puck is in proximity.
    bool ToolThere() const;
    // The frame of the current state; `moved` against the last one handed on.
    PenFrame CurrentFrame() const;
    void Hand(PenFrame frame);

    FrameSink sink_;
    TabletAxes axes_;

    // The device's state as the events so far have set it, in its own
    // counts. Keys are held by (code - BTN_MISC): every button and tool this
    // decoder follows lies between BTN_0 and BTN_TOOL_QUADTAP.
    static constexpr std::size_t kKeyCount = 0x50;
    std::int32_t x_ = 0;
    std::int32_t y_ = 0;
    std::bitset<kKeyCount> keys_;

    // The state at the end of the last frame handed on.
    std::int32_t frameX_ = 0;
    std::int32_t frameY_ = 0;
    bool inProximity_ = false;
    // Events were lost (SYN_DROPPED): the next frame only brings the state
    // up to date.
    bool resync_ = false;
};
