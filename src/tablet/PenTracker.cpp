#include "tablet/PenTracker.h"

void PenTracker::Push(std::int32_t x, std::int32_t y, std::int32_t strokeEnd) {
    // lLogX, lLogY are only listed for diagnosis: they carry the same counts.
    out_.PushPoint(PenPoint{x, y, x, y, strokeEnd, onScreen_});
}

bool PenTracker::Frame(const PenFrame& frame) {
    if (frame.gone) {
        tip_ = false;
        side_ = false;
        havePosition_ = false;
        pressUnseen_ = false;
        return false;
    }
    if (frame.seed) {
        tip_ = frame.tip;
        side_ = frame.side;
        pressUnseen_ = frame.tip;
        // Where a tool is in proximity its position is the kernel's own;
        // otherwise the axes hold where the last tool left, which is not a
        // place the next one is known to be.
        havePosition_ = !frame.leaving;
        x_ = frame.x;
        y_ = frame.y;
        return false;
    }
    const bool pressed = !tip_ && frame.tip;
    const bool released = tip_ && !frame.tip;
    const bool sidePressed = !side_ && frame.side;
    tip_ = frame.tip;
    side_ = frame.side;
    // A press that began before the device was opened gives nothing, not
    // even the rest of its stroke: where it started is unknown.
    if (pressUnseen_) {
        if (released) pressUnseen_ = false;
        if (!frame.leaving && (frame.moved || !havePosition_)) {
            x_ = frame.x;
            y_ = frame.y;
            havePosition_ = true;
        }
        if (sidePressed) out_.PushSide();
        return false;
    }

    if (frame.resync) {
        // A stroke whose release was lost still ends, where the pen was last
        // seen: the figure must not stay open. Nothing else is made up.
        if (released && mode_ == 1 && havePosition_) {
            Push(x_, y_, 1);
        }
        if (!frame.leaving) {
            x_ = frame.x;
            y_ = frame.y;
            havePosition_ = true;
        }
        return pressed && mode_ == 0;
    }

    // Only a frame that moved says where the pen is; a leaving frame's axes
    // may be zeroed, and a frame that did not move may carry such values
    // left over. The last trusted position stands for both.
    const bool moved = frame.moved && !frame.leaving;
    if (moved || (!havePosition_ && !frame.leaving)) {
        x_ = frame.x;
        y_ = frame.y;
        havePosition_ = true;
    }
    if (pressed) {
        Push(x_, y_, mode_ == 1 ? 0 : 1);
    } else if (released) {
        if (mode_ == 1) {
            Push(x_, y_, 1);
        }
    } else if (tip_ && moved && mode_ == 1) {
        Push(x_, y_, 0);
    }
    if (sidePressed) {
        out_.PushSide();
    }
    return false;
}
