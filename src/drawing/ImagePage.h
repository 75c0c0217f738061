#pragma once

#include <QImage>
#include <QSizeF>

#include "drawing/DrawingPage.h"

// A scanned drawing (or any picture) at the resolution it was scanned at:
// its size on paper is its pixels over its dots per millimetre, each axis
// its own.
class ImagePage : public DrawingPage {
  public:
    // `dotsPerMm`: image pixels per millimetre of paper across and down.
    ImagePage(QImage image, QSizeF dotsPerMm);

    QSizeF SizeMm() const override;
    QImage Render(double pixelsPerMm, const QRect& pixels) const override;

  private:
    const QImage image_;
    const QSizeF dotsPerMm_;
};
