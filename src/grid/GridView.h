#pragma once

class GridModel;

// A rectangle in twips (1/1440 inch).
struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The detail grid as a control: its content plus what only the widget knows
// (focus, where it sits in the window, which rows are on screen). The grid
// procedures take one of these so that they work on any grid, and so that
// tests can give them a fake.
class GridView {
public:
    virtual ~GridView() = default;

    virtual GridModel& Model() = 0;

    // Gives the grid the keyboard focus. Harmless while the window is hidden.
    virtual void SetFocus() = 0;

    // Position of the grid in the window, twips.
    virtual int Left() const = 0;
    virtual int Top() const = 0;
    // Rectangle of the current cell relative to the grid, twips.
    virtual TwipRect CurrentCellRect() const = 0;

    // Whether the row is fully shown, and the first data row shown.
    virtual bool RowIsVisible(int row) const = 0;
    virtual int TopRow() const = 0;
    virtual void SetTopRow(int row) = 0;

    // Lets the events waiting in the queue run (the editor's commit on losing
    // the focus among them) before the caller goes on.
    virtual void ProcessPendingEvents() = 0;
};
