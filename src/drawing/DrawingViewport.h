#pragma once

#include <QPoint>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <algorithm>

#include "units/Length.h"

// Where a page lies on the pad's surface, as a viewer places it: a zoom
// (1 is the paper's own size on the screen) and the pixel where the page's
// top-left corner is. The corner stays on whole pixels, so that tiles drawn
// for the zoom fall on the screen's pixels as drawn.
class DrawingViewport {
  public:
    static constexpr double kMinZoom = 0.02;
    static constexpr double kMaxZoom = 32.0;
    // Pixels of the page that stay in view however far it is moved.
    static constexpr int kKeepInView = 48;
    // The most widget pixels a page may span at any zoom: tiles, their
    // places and the view's corner are counted in 32-bit pixels, and a
    // screen may have 8 device pixels to a widget pixel. A page of 10^9
    // points (a CAD file's idea of a page) is held below 32 times.
    static constexpr double kMaxPagePixels = 1 << 27;

    // `screenPixelsPerMm`: widget pixels per millimetre of the screen.
    void SetScreen(double screenPixelsPerMm) { screenPixelsPerMm_ = screenPixelsPerMm; }
    void SetPage(const QSizeF& pageMm) {
        pageMm_ = pageMm;
        zoom_ = std::clamp(zoom_, MinZoom(), MaxZoom());
    }
    void SetView(const QSize& pixels);

    double Zoom() const { return zoom_; }
    // The zoom's limits for this page on this screen.
    double MinZoom() const;
    double MaxZoom() const;
    QPoint Corner() const { return corner_; }
    // Widget pixels per millimetre of paper at the zoom.
    double PixelsPerMm() const { return zoom_ * screenPixelsPerMm_; }
    QRectF PageRect() const;

    // The paper under a pixel of the surface, millimetres from the page's
    // corner, and back.
    QPointF PaperAt(const QPointF& pixel) const;
    QPointF PixelAt(const QPointF& paperMm) const;

    // Zooms to `zoom` (within the limits), keeping the paper under `pixel`
    // where it is.
    void ZoomAbout(double zoom, const QPointF& pixel);
    void PanBy(const QPoint& pixels);
    // The whole page in view, centred, as large as it fits.
    void Fit();
    // The paper at the view's centre, and a zoom and centre to show.
    QPointF CentreMm() const;
    void Show(double zoom, const QPointF& centreMm);

  private:
    void MoveCorner(const QPointF& corner);

    double screenPixelsPerMm_ = 96.0 / kMillimetresPerInch;
    QSizeF pageMm_{210, 297};
    QSize view_{480, 360};
    double zoom_ = 1.0;
    QPoint corner_;
};
