#include "EvdevPadLink.h"

#include <linux/input.h>

#include <utility>

#include "WintabPacketEvent.h"

EvdevPadLink::EvdevPadLink(std::unique_ptr<EvdevEventSource> source)
    : source_(std::move(source)), decoder_(tracker_, source_->Axes()) {}

EvdevPadLink::~EvdevPadLink() { source_->Stop(); }

void EvdevPadLink::PadlinkInit(WindowHandle window, std::int32_t, std::int32_t) {
    window_ = window;
    if (window_ == nullptr) return;
    source_->Start([this](std::uint16_t type, std::uint16_t code, std::int32_t value) {
        Receive(type, code, value);
    });
}

void EvdevPadLink::PadlinkSetMove(std::int32_t) {}

void EvdevPadLink::PadlinkSetMode(std::int32_t mode) { tracker_.SetMode(mode); }

void EvdevPadLink::Receive(std::uint16_t type, std::uint16_t code, std::int32_t value) {
    decoder_.Feed(type, code, value);
    // Only a whole frame can add points; whatever waits, new or left over
    // from a notification the window cut short, goes out with the next one.
    if (type == EV_SYN && code == SYN_REPORT && !posted_ && !queue_.Empty()) Post();
}

void EvdevPadLink::Post() {
    if (window_ == nullptr) return;
    posted_ = true;
    PostWintabPacket(window_);
}

std::int32_t EvdevPadLink::PadlinkWintab(std::int32_t, std::int32_t) {
    posted_ = false;
    const std::int32_t count = queue_.Announce();
    // What this answer leaves unannounced needs a notification of its own:
    // a side press behind the points, or points behind the side press.
    if (queue_.SideWaitsBehind() || (count < 0 && !queue_.Empty())) Post();
    return count;
}

void EvdevPadLink::PadlinkGetData(std::int32_t, std::int32_t& lLogX, std::int32_t& lLogY,
                                  std::int32_t& lPenX, std::int32_t& lPenY,
                                  std::int32_t& lStrokeEnd) {
    queue_.Take(lLogX, lLogY, lPenX, lPenY, lStrokeEnd);
}

std::int32_t EvdevPadLink::PadlinkGetDataCnt() { return queue_.Count(); }

void EvdevPadLink::PadlinkClose() {
    source_->Stop();
    window_ = nullptr;
}
