#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "measure/Figure.h"

// A figure kept with a grid cell, as a display draws it over its surface:
// lengths as lines, areas outlined with a light fill, coordinates as marks,
// each labelled with its cell and value.
struct FigureMark {
    int row = 0;
    int col = 0;
    // Shared with the kept figure: a long trace is not copied per push.
    std::shared_ptr<const std::vector<FigurePoint>> points;
    bool closed = false;
    bool point = false;
    // Picks that are an arc's middle: the outline follows the arc.
    std::vector<std::int32_t> arcMiddles;
    // Counted off in a sum: a hole, drawn dashed and not filled.
    bool hole = false;
    // The cell and the value with its unit ("3行2列　124.50 m²").
    QString label;
    // The cell is selected: the display makes the figure stand out.
    bool highlighted = false;
    FigureOrigin origin;
};

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
    // Where points measured now come from: a tablet unless the display is
    // the on-screen pad (blank, or its drawing's file and page).
    virtual FigureOrigin Origin() const { return {}; }
    // Counts per millimetre of what it shows points on (the pad's paper or
    // screen); 0 for a tablet's, which the tablet tells.
    virtual double CountsPerMm() const { return 0.0; }
    // Shows the window again after the operator closed it, and brings it to
    // the front.
    virtual void OpenWindow() = 0;
    // The display is where the operator picks (the on-screen pad), not only
    // where the figure is seen: a run started while it is closed has nothing
    // to measure on until it opens.
    virtual bool TakesPen() const { return false; }

    // Replaces the kept figures shown; each display shows those that were
    // measured on it.
    virtual void ShowMarks(std::vector<FigureMark> marks) { (void)marks; }
    // Called with a kept figure's cell when the operator clicks it; the
    // function returns false when it does not take the click (a run is
    // collecting points), and the click is then a pen's.
    virtual void SetMarkRequest(std::function<bool(int row, int col)> markClicked) {
        (void)markClicked;
    }

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
