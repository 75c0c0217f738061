#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "tablet/evdev/EvdevDecoder.h"
#include "tablet/evdev/EvdevEventSource.h"
#include "tablet/PenInput.h"
#include "tablet/QueuedPadLink.h"

// One evdev source (a device node, or a recording played as one) as a pen
// input: its events go through the decoder, from the device's state at open
// on, into a pen of the library. A press under way when it stops is let go
// without a point.
class EvdevInput : public PenInput {
  public:
    // `gone` is called when the device fails for good (unplugged).
    explicit EvdevInput(std::unique_ptr<EvdevEventSource> source, std::function<void()> gone = {});
    ~EvdevInput() override;

    void Start(QueuedPadLink& link) override;
    void Stop() override;
    bool SetExclusive(bool exclusive) override { return source_->Grab(exclusive); }
    bool CanBeExclusive() const override { return source_->CanGrab(); }

    const EvdevEventSource& Source() const { return *source_; }

  private:
    std::unique_ptr<EvdevEventSource> source_;
    std::function<void()> gone_;
    std::optional<QueuedPadLink::Pen> pen_;
    std::optional<EvdevDecoder> decoder_;
};
