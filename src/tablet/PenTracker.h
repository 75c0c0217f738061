#pragma once

#include <cstdint>

#include "tablet/PenQueue.h"

// The pen's state at the end of one frame of a device (an evdev SYN_REPORT, a
// Wintab packet, a mouse event of the on-screen pad), in tablet counts. Each
// backend reduces its device's events to these values; nothing above the
// backend knows which device it was.
struct PenFrame {
    std::int32_t x = 0;
    std::int32_t y = 0;
    // X or Y changed in this frame.
    bool moved = false;
    // The tip touches (or a puck's first button is held).
    bool tip = false;
    // The side switch (barrel button, or a puck's second button) is held.
    bool side = false;
    // The tool left proximity in this frame. Some tablets zero the axes in
    // that frame, so its position is never a point.
    bool leaving = false;
    // The first frame after the device lost events: it brings the state up
    // to date but its movement is not a point, since what happened in
    // between is unknown.
    bool resync = false;
    // The device's state as found when it was opened: the kernel sends no
    // event for what does not change, so a pen hovering or a puck lying on
    // the tablet is known only from this. It sets the state and gives
    // nothing: a press that began before the device was opened is no point.
    // With `leaving` also set, no tool was in proximity then, and the axes
    // are only where the last one left.
    bool seed = false;
    // The device went away (unplugged): whatever it held is let go without
    // a point; the points already given stay.
    bool gone = false;
};

// The pen state machine shared by every tablet backend: it turns frames into
// the points and side-switch presses of the tablet library contract, in
// either library mode:
//   mode 0 (picks): the tip going down gives one point where it touched,
//     lStrokeEnd 1;
//   mode 1 (strokes): the tip going down gives the stroke's first point,
//     every later frame that moved while it stays down one more, and the tip
//     going up the stroke's last point with lStrokeEnd 1, also when the pen
//     did not move.
// The side switch being pressed (not held, not released) is one side press,
// in both modes, hovering or touching.
//
// Its states, named as libinput names a tablet tool's: out of range (no
// trusted position), hovering (a position, tip up), touching (tip down);
// the side switch is held or not in either of the last two.
class PenTracker {
  public:
    explicit PenTracker(PenQueue& out) : out_(out) {}

    void SetMode(std::int32_t mode) { mode_ = mode; }
    // The points are the on-screen pad's.
    void SetOnScreen(bool onScreen) { onScreen_ = onScreen; }
    std::int32_t Mode() const { return mode_; }

    // True when the frame says a pick was lost: in mode 0, the tip went
    // down while the device's events were being lost, so that where it
    // touched is unknown and no point was taken.
    bool Frame(const PenFrame& frame);

  private:
    void Push(std::int32_t x, std::int32_t y, std::int32_t strokeEnd);

    PenQueue& out_;
    std::int32_t mode_ = 0;
    bool onScreen_ = false;
    bool tip_ = false;
    bool side_ = false;
    // The tip was down when the device was opened: that press is not ours.
    bool pressUnseen_ = false;
    // Where the pen last was at a trusted position.
    bool havePosition_ = false;
    std::int32_t x_ = 0;
    std::int32_t y_ = 0;
};
