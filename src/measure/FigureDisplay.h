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

    // Called when the operator asks to drop the last point of the figure
    // (the window's button, Backspace, Ctrl+Z), and when the operator
    // presses F12 there, which ends the figure as it does in the main window.
    // Empty functions ignore the requests.
    virtual void SetRequests(std::function<void()> undoLastPoint,
                             std::function<void()> endFigure) = 0;

    // Called with the key code and shift state (1 Shift) when the operator
    // presses F7, F8 or Shift+F8 in the display or clicks its box "合算"
    // (as F8), which work the arcs and the sum as in the main window. An
    // empty function ignores them; a display without these keys may too.
    virtual void SetFunctionRequests(std::function<void(int keyCode, int shift)> functionKey) {
        (void)functionKey;
    }
};
