#include "tablet/evdev/EvdevDecoder.h"

#include <linux/input.h>

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::uint16_t, 5> kPenTools = {BTN_TOOL_PEN, BTN_TOOL_RUBBER, BTN_TOOL_BRUSH,
                                                    BTN_TOOL_PENCIL, BTN_TOOL_AIRBRUSH};
constexpr std::array<std::uint16_t, 2> kPuckTools = {BTN_TOOL_MOUSE, BTN_TOOL_LENS};
constexpr std::size_t kFirstKey = BTN_MISC;

}  // namespace

std::size_t EvdevDecoder::KeyIndex(std::uint16_t code) {
    return code >= kFirstKey && code - kFirstKey < kKeyCount ? code - kFirstKey : kKeyCount;
}

bool EvdevDecoder::Held(std::uint16_t code) const {
    const std::size_t index = KeyIndex(code);
    return index < kKeyCount && keys_.test(index);
}

void EvdevDecoder::Seed(const EvdevState& state) {
    x_ = state.x;
    y_ = state.y;
    keys_.reset();
    for (const std::uint16_t code : state.keys)
        if (const std::size_t index = KeyIndex(code); index < kKeyCount) keys_.set(index);
    PenFrame frame = CurrentFrame();
    frame.seed = true;
    // No tool there: the axes only say where the last one left.
    frame.leaving = !ToolThere();
    Hand(frame);
}

void EvdevDecoder::Feed(std::uint16_t type, std::uint16_t code, std::int32_t value) {
    switch (type) {
        case EV_ABS:
            if (code == ABS_X) x_ = value;
            if (code == ABS_Y) y_ = value;
            break;
        case EV_KEY:
            if (const std::size_t index = KeyIndex(code); index < kKeyCount)
                keys_.set(index, value != 0);
            break;
        case EV_SYN:
            // The events of a frame cut by SYN_DROPPED still hold: the
            // device layer's resynchronisation reports only what differs
            // from them. But that frame is never handed on by itself.
            if (code == SYN_DROPPED) resync_ = true;
            if (code == SYN_REPORT) {
                PenFrame frame = CurrentFrame();
                frame.resync = resync_;
                resync_ = false;
                Hand(frame);
            }
            break;
        default:
            break;
    }
}

bool EvdevDecoder::PuckThere() const {
    return std::any_of(kPuckTools.begin(), kPuckTools.end(),
                       [this](std::uint16_t code) { return Held(code); });
}

bool EvdevDecoder::ToolThere() const {
    return PuckThere() || std::any_of(kPenTools.begin(), kPenTools.end(),
                                      [this](std::uint16_t code) { return Held(code); });
}

PenFrame EvdevDecoder::CurrentFrame() const {
    const bool puck = PuckThere();

    PenFrame frame;
    frame.x = axes_.ToCommonX(x_);
    frame.y = axes_.ToCommonY(y_);
    frame.moved = x_ != frameX_ || y_ != frameY_;
    // A pen that never reports its tool still has its tip; a puck's buttons
    // only count while the puck is there, since a tablet's own buttons may
    // share BTN_0 and BTN_1 on the same node.
    frame.tip = Held(BTN_TOUCH) || (puck && (Held(BTN_LEFT) || Held(BTN_0)));
    frame.side = Held(BTN_STYLUS) || Held(BTN_STYLUS2) || Held(BTN_STYLUS3) ||
                 (puck && (Held(BTN_RIGHT) || Held(BTN_1)));
    frame.leaving = inProximity_ && !ToolThere();
    return frame;
}

void EvdevDecoder::Hand(PenFrame frame) {
    frameX_ = x_;
    frameY_ = y_;
    inProximity_ = ToolThere();
    if (sink_) sink_(frame);
}
