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
// than the room; with no such room, over the right part of the owner below
// its title bar, so that the main window's title bar and its buttons stay
// uncovered and within reach. `frame` is what the side window's own frame
// adds around its client area.
SidePlace PlaceBeside(const QRect& available, const QRect& owner, int ownerTitle,
                      const QMargins& frame, const QSize& wanted, const QSize& minimum);

// A place kept from an earlier run, brought inside `available` (the screen
// it is on now): moved in whole where it fits, else shrunk to the area, never
// below `minimum`; its title bar always on the screen, where the window can
// be taken and moved.
SidePlace KeepOnScreen(const SidePlace& place, const QRect& available, const QMargins& frame,
                       const QSize& minimum);
