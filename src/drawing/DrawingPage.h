#pragma once

#include <QImage>
#include <QRect>
#include <QSizeF>

// One page of a drawing as the pad shows it: its size on paper and its
// picture at any scale. Once opened a page is only read: the tile worker
// renders from it while the pad asks its size, and nothing changes it.
class DrawingPage {
  public:
    virtual ~DrawingPage() = default;

    // The page's size on paper, millimetres.
    virtual QSizeF SizeMm() const = 0;

    // The part `pixels` of the page drawn at `pixelsPerMm` (image pixels per
    // millimetre of paper; pixel 0,0 is the page's top-left corner), on
    // white. A null image when it cannot be drawn. One call at a time.
    virtual QImage Render(double pixelsPerMm, const QRect& pixels) const = 0;
};
