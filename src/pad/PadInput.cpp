#include "pad/PadInput.h"

#include <QTimer>

PadInput::PadInput() {
    window_.onFrame = [this](const PenFrame& frame) {
        if (pen_) pen_->Frame(frame);
    };
}

PadInput::~PadInput() { window_.onFrame = nullptr; }

void PadInput::Start(QueuedPadLink& link) {
    link_ = &link;
    pen_.emplace(link, true);
    // The pad appears once the message loop runs, when the main window is up
    // and has its size: then it can be placed beside it and kept above it.
    QTimer::singleShot(0, &window_, [this] {
        if (link_ == nullptr || !link_->IsOpen()) return;
        window_.ShowAbove(qobject_cast<QWidget*>(link_->Window()));
    });
}

void PadInput::Stop() {
    // A stroke the pad will not see end must not stay open: the hidden pad
    // ends it where the pen was last.
    window_.hide();
    pen_.reset();
    link_ = nullptr;
}
