#include "VirtualPadLink.h"

#include <QTimer>

#include "WintabPacketEvent.h"

VirtualPadLink::VirtualPadLink() {
    window_.onFrame = [this](const PenFrame& frame) { Frame(frame); };
}

void VirtualPadLink::PadlinkInit(WindowHandle window, std::int32_t, std::int32_t) {
    target_ = window;
    // The pad appears once the message loop runs, when the main window is up
    // and has its size: then it can be placed beside it and kept above it.
    QTimer::singleShot(0, &window_, [this] {
        if (target_ == nullptr) return;
        window_.ShowAbove(qobject_cast<QWidget*>(target_));
    });
}

void VirtualPadLink::PadlinkSetMove(std::int32_t) {}

void VirtualPadLink::PadlinkSetMode(std::int32_t mode) { tracker_.SetMode(mode); }

void VirtualPadLink::Frame(const PenFrame& frame) {
    // Before PadlinkInit and after PadlinkClose nobody listens: what is drawn
    // then is not measured.
    if (target_ == nullptr) return;
    tracker_.Frame(frame);
    if (!queue_.Empty() && !notified_) Notify();
}

void VirtualPadLink::Notify() {
    notified_ = true;
    PostWintabPacket(target_);
}

std::int32_t VirtualPadLink::PadlinkWintab(std::int32_t, std::int32_t) {
    notified_ = false;
    const std::int32_t count = queue_.Announce();
    // What this answer does not cover needs a notification of its own: a
    // side press behind the points announced, or points drawn after a side
    // press. Points the window leaves untaken wait for the next input, as
    // with any library.
    if (queue_.SideWaitsBehind() || (count < 0 && !queue_.Empty())) Notify();
    return count;
}

void VirtualPadLink::PadlinkGetData(std::int32_t, std::int32_t& lLogX, std::int32_t& lLogY,
                                    std::int32_t& lPenX, std::int32_t& lPenY,
                                    std::int32_t& lStrokeEnd) {
    queue_.Take(lLogX, lLogY, lPenX, lPenY, lStrokeEnd);
}

std::int32_t VirtualPadLink::PadlinkGetDataCnt() { return queue_.Count(); }

void VirtualPadLink::PadlinkClose() {
    target_ = nullptr;
    notified_ = false;
    window_.hide();
}
