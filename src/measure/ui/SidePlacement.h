#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

// Where a side window of the main window (the on-screen pad, the figure
// window) opens, in the screen's logical pixels. Like the main window's own
// fit, it says where the frame's top-left corner goes and how large the
// client area is.
struct SidePlace {
    QPoint topLeft;  // of the frame
    QSize client;

    QRect Frame(const QMargins& frame) const { return {topLeft, client.grownBy(frame)}; }
};

// A new side window beside `owner` (the main window's frame; `ownerTitle`
// the height of its title bar) inside `available`: right of it when at
// least `minimum` fits there, else left of it, else below it, each at most
// `wanted` (beside it, as tall as the owner if that is taller) and no larger
// than the room. With no such room it goes over the owner, but only over
// `coverable` (the owner's grid, in screen pixels), so that the main
// window's title bar, tabs, buttons and key help stay uncovered: at the
// screen's edge on the side with more room, no wider than `minimum`, so that
// it hides the least of the grid, and no taller than the grid. Without a
// coverable part it goes over the right part of the owner below its title
// bar. `frame` is what the side window's own frame adds around its client
// area.
SidePlace PlaceBeside(const QRect& available, const QRect& owner, int ownerTitle,
                      const QMargins& frame, const QSize& wanted, const QSize& minimum,
                      const QRect& coverable = QRect());

// Where a side window goes inside its owner, where the program cannot place
// windows of its own (see ProgramPlacesWindows): over the right part of
// `coverable` (the owner's grid, in the owner's coordinates), as tall as it
// and `minimum` wide, no wider than it; nothing of the owner outside it is
// covered.
QRect DockedPlace(const QRect& coverable, const QSize& minimum);

// The name of the property through which a main window tells its side
// windows which of its widgets they may cover when the screen has no room
// beside it (a QWidget*, see PlaceBeside).
inline constexpr char kCoverableProperty[] = "kalvorCoverable";

// A place kept from an earlier run, brought inside `available` (the screen
// it is on now): moved in whole where it fits, else shrunk to the area, never
// below `minimum`; its title bar always on the screen, where the window can
// be taken and moved. A place that lay clear of `owner` (the main window's
// frame) and is too large for the room there is shrunk in that room rather
// than moved over the main window, as long as `minimum` fits.
SidePlace KeepOnScreen(const SidePlace& place, const QRect& available, const QMargins& frame,
                       const QSize& minimum, const QRect& owner = QRect());
