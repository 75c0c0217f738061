#include "drawing/DrawingViewport.h"

#include <algorithm>
#include <cmath>

namespace {

// Pixels left around a fitted page.
constexpr double kFitMargin = 8.0;

}  // namespace

void DrawingViewport::SetView(const QSize& pixels) {
    view_ = pixels;
    MoveCorner(corner_);
}

double DrawingViewport::MaxZoom() const {
    const double side = std::max(pageMm_.width(), pageMm_.height()) * screenPixelsPerMm_;
    return side > 0 ? std::min(kMaxZoom, kMaxPagePixels / side) : kMaxZoom;
}

double DrawingViewport::MinZoom() const { return std::min(kMinZoom, MaxZoom()); }

QRectF DrawingViewport::PageRect() const { return {QPointF(corner_), pageMm_ * PixelsPerMm()}; }

QPointF DrawingViewport::PaperAt(const QPointF& pixel) const {
    return (pixel - QPointF(corner_)) / PixelsPerMm();
}

QPointF DrawingViewport::PixelAt(const QPointF& paperMm) const {
    return QPointF(corner_) + paperMm * PixelsPerMm();
}

void DrawingViewport::ZoomAbout(double zoom, const QPointF& pixel) {
    if (!std::isfinite(zoom)) return;
    const QPointF paper = PaperAt(pixel);
    zoom_ = std::clamp(zoom, MinZoom(), MaxZoom());
    MoveCorner(pixel - paper * PixelsPerMm());
}

void DrawingViewport::PanBy(const QPoint& pixels) { MoveCorner(corner_ + pixels); }

void DrawingViewport::Fit() {
    const double across = (view_.width() - 2 * kFitMargin) / (pageMm_.width() * screenPixelsPerMm_);
    const double down = (view_.height() - 2 * kFitMargin) / (pageMm_.height() * screenPixelsPerMm_);
    zoom_ = std::clamp(std::min(across, down), MinZoom(), MaxZoom());
    const QSizeF page = pageMm_ * PixelsPerMm();
    MoveCorner(QPointF((view_.width() - page.width()) / 2, (view_.height() - page.height()) / 2));
}

QPointF DrawingViewport::CentreMm() const {
    return PaperAt(QPointF(view_.width() / 2.0, view_.height() / 2.0));
}

void DrawingViewport::Show(double zoom, const QPointF& centreMm) {
    if (std::isfinite(zoom)) zoom_ = std::clamp(zoom, MinZoom(), MaxZoom());
    if (!std::isfinite(centreMm.x()) || !std::isfinite(centreMm.y())) return;
    MoveCorner(QPointF(view_.width() / 2.0, view_.height() / 2.0) - centreMm * PixelsPerMm());
}

void DrawingViewport::MoveCorner(const QPointF& corner) {
    // Some of the page stays in view: a page moved off entirely would leave
    // the operator nothing to find it by.
    const QSizeF page = pageMm_ * PixelsPerMm();
    const double keepX = std::min<double>(kKeepInView, page.width());
    const double keepY = std::min<double>(kKeepInView, page.height());
    // (Not std::clamp: on a view narrower than what is kept the bounds cross.)
    const double x = std::max(keepX - page.width(), std::min(corner.x(), view_.width() - keepX));
    const double y = std::max(keepY - page.height(), std::min(corner.y(), view_.height() - keepY));
    corner_ = QPoint(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)));
}
