#include "tablet/QueuedPadLink.h"

#include <cstdio>
#include <utility>

#include "tablet/WintabPacketEvent.h"

void QueuedPadLink::Pen::Frame(const PenFrame& frame) {
    // Before PadlinkInit and after PadlinkClose nobody listens: what the pen
    // does then is not measured.
    if (!link_.IsOpen()) return;
    tracker_.SetMode(link_.Mode());
    const bool lostPick = tracker_.Frame(frame);
    link_.Deliver();
    if (lostPick) {
        // No point is made up for it: the operator picks it again.
        link_.Tell({TabletNotice::Kind::PointLost,
                    QStringLiteral("イベントが失われたため、点を1つ取れませんでした"),
                    std::nullopt});
    }
}

QueuedPadLink::~QueuedPadLink() {
    for (const auto& input : inputs_) input->Stop();
}

void QueuedPadLink::AddInput(std::unique_ptr<PenInput> input) {
    inputs_.push_back(std::move(input));
    if (IsOpen()) inputs_.back()->Start(*this);
}

void QueuedPadLink::PadlinkInit(WindowHandle window, std::int32_t, std::int32_t) {
    if (IsOpen()) PadlinkClose();
    window_ = window;
    if (window_ == nullptr) return;
    for (const auto& input : inputs_) input->Start(*this);
}

void QueuedPadLink::PadlinkSetMove(std::int32_t) {}

void QueuedPadLink::PadlinkSetMode(std::int32_t mode) { mode_ = mode; }

void QueuedPadLink::Deliver() {
    if (!posted_ && !queue_.Empty()) Post();
}

void QueuedPadLink::Post() {
    if (window_ == nullptr) return;
    posted_ = true;
    PostWintabPacket(window_);
}

std::int32_t QueuedPadLink::PadlinkWintab(std::int32_t, std::int32_t) {
    posted_ = false;
    const std::int32_t count = queue_.Announce();
    // What this answer leaves unannounced needs a notification of its own:
    // a side press behind the points, or points behind the side press.
    if (queue_.SideWaitsBehind() || (count < 0 && !queue_.Empty())) Post();
    return count;
}

void QueuedPadLink::PadlinkGetData(std::int32_t, std::int32_t& lLogX, std::int32_t& lLogY,
                                   std::int32_t& lPenX, std::int32_t& lPenY,
                                   std::int32_t& lStrokeEnd) {
    queue_.Take(lLogX, lLogY, lPenX, lPenY, lStrokeEnd);
}

std::int32_t QueuedPadLink::PadlinkGetDataCnt() { return queue_.Count(); }

void QueuedPadLink::PadlinkClose() {
    for (const auto& input : inputs_) input->Stop();
    window_ = nullptr;
    posted_ = false;
}

bool QueuedPadLink::SetPenExclusive(bool exclusive) {
    bool held = true;
    for (const auto& input : inputs_) held = input->SetExclusive(exclusive) && held;
    return held;
}

bool QueuedPadLink::CanHoldPen() const {
    for (const auto& input : inputs_)
        if (input->CanBeExclusive()) return true;
    return false;
}

void QueuedPadLink::SetNoticeSink(std::function<void(const TabletNotice&)> sink) {
    noticeSink_ = std::move(sink);
}

void QueuedPadLink::Tell(const TabletNotice& notice) {
    std::fprintf(stderr, "%s\n", notice.text.toLocal8Bit().constData());
    if (noticeSink_) noticeSink_(notice);
}
