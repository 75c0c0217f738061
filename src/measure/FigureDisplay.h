#pragma once

#include <functional>

#include "measure/Figure.h"

// A window that shows the figure being measured and lets the operator undo
// its last point: the on-screen pad, or the figure window beside a real
// tablet. The main window pushes the figure after its point store or mode
// changed; the display only shows it and passes the operator's requests
// back, it never touches the store itself.
class FigureDisplay {
  public:
    virtual ~FigureDisplay() = default;

    // Replaces what is shown.
    virtual void ShowFigure(const Figure& figure) = 0;
    // Shows the window again after the operator closed it, and brings it to
    // the front.
    virtual void OpenWindow() = 0;
    // The display is where the operator picks (the on-screen pad), not only
    // where the figure is seen: a run started while it is closed has nothing
    // to measure on until it opens.
    virtual bool TakesPen() const { return false; }

    // Called when the operator asks to drop the last point of the figure
    // (the window's button, Backspace, Ctrl+Z), and when the operator
    // presses F12 there, which ends the figure as it does in the main window.
    // Empty functions ignore the requests.
    virtual void SetRequests(std::function<void()> undoLastPoint,
                             std::function<void()> endFigure) = 0;
};
