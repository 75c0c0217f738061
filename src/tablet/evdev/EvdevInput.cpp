#include "tablet/evdev/EvdevInput.h"

#include <linux/input.h>

#include <cstdio>
#include <utility>

EvdevInput::EvdevInput(std::unique_ptr<EvdevEventSource> source, std::function<void()> gone)
    : source_(std::move(source)), gone_(std::move(gone)) {}

EvdevInput::~EvdevInput() { Stop(); }

void EvdevInput::Start(QueuedPadLink& link) {
    // A device is opened once and closed by Stop for good: started again,
    // nothing would be read.
    if (pen_) return;
    pen_.emplace(link);
    decoder_.emplace([this](const PenFrame& frame) { pen_->Frame(frame); }, source_->Axes());
    // Before the first event: the kernel repeats nothing of what is held.
    decoder_->Seed(source_->State());
    if (const QString nothing = source_->NothingToPlay(); !nothing.isEmpty())
        link.Tell({TabletNotice::Kind::NothingPlayed, nothing, std::nullopt});
    source_->Start(
        [this](std::uint16_t type, std::uint16_t code, std::int32_t value) {
            // Rare on a desk, and the cause of a missing pick when it happens.
            if (type == EV_SYN && code == SYN_DROPPED) {
                std::fprintf(stderr, "%s: events lost (SYN_DROPPED); state brought up to date\n",
                             qPrintable(source_->Name()));
            }
            decoder_->Feed(type, code, value);
        },
        gone_);
}

void EvdevInput::Stop() {
    source_->Stop();
    if (pen_) {
        PenFrame gone;
        gone.gone = true;
        pen_->Frame(gone);
    }
    decoder_.reset();
    pen_.reset();
}
