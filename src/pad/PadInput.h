#pragma once

#include <optional>

#include "pad/PadWindow.h"
#include "tablet/PenInput.h"
#include "tablet/QueuedPadLink.h"

// The on-screen pad as a pen input, for an operator without a tablet: the
// pad window "仮想タブレット" is shown from the library's start to its close,
// and what is drawn on it reaches the main window as from any tablet. The
// pad is also the figure display of the run.
class PadInput : public PenInput {
  public:
    PadInput();
    ~PadInput() override;

    PadWindow& Window() { return window_; }

    void Start(QueuedPadLink& link) override;
    void Stop() override;

  private:
    PadWindow window_;
    std::optional<QueuedPadLink::Pen> pen_;
    QueuedPadLink* link_ = nullptr;
};
