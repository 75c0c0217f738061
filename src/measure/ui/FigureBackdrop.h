#pragma once

#include <QRect>
#include <QTransform>

class QPainter;

// What lies under the figure on a figure view's surface: the drawing on the
// on-screen pad. The view paints it over the surface's ground, before its
// grid and the figure, clipped to the surface.
class FigureBackdrop {
  public:
    virtual ~FigureBackdrop() = default;

    // `countsToPixels`: the view's mapping of tablet counts to its widget
    // pixels; `surface`: where the surface is, in widget pixels.
    virtual void PaintBackdrop(QPainter& painter, const QTransform& countsToPixels,
                               const QRect& surface) = 0;
};
