#pragma once

#include <QRect>
#include <QSize>

// Where the main window opens and how large, in pixels. The design size
// where it fits the screen's available area; otherwise the window shrinks to
// that area, never below the smallest size its layout allows; where even
// that does not fit, it opens maximised, so that every control stays within
// reach.
struct WindowFit {
    QPoint topLeft;   // of the frame
    QSize client;     // the client area
    bool maximize = false;
};

// designClient and minClient are client sizes; frame is what the window's
// frame and title bar add around the client area; available is the screen
// area not taken by panels.
WindowFit FitToScreen(QSize designClient, QSize minClient, QSize frame, QRect available);
