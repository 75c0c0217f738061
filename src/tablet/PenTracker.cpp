#include "PenTracker.h"

void PenTracker::Push(std::int32_t x, std::int32_t y, std::int32_t strokeEnd) {
    // lLogX, lLogY are only listed for diagnosis: they carry the same counts.
    out_.PushPoint(PenPoint{x, y, x, y, strokeEnd});
}

void PenTracker::Frame(const PenFrame& frame) {
    const bool pressed = !tip_ && frame.tip;
    const bool released = tip_ && !frame.tip;
    const bool sidePressed = !side_ && frame.side;
    tip_ = frame.tip;
    side_ = frame.side;

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
        return;
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
}
