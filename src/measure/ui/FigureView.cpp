#include "measure/ui/FigureView.h"

#include <QElapsedTimer>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <utility>

#include "measure/CircleArc.h"
#include "measure/ui/FigureBackdrop.h"

namespace {

// Pixels between the fitted area and the surface's edges, so that points on
// the area's border stay visible.
constexpr int kFitMargin = 8;
// Above this many drawn points a trace is a line, not a row of marks.
constexpr qsizetype kMaxMarkedPoints = 300;
// A paint may take at most this share of the time: the next one waits that
// many times as long as the last took.
constexpr qint64 kPaintSpacing = 4;

const QColor kSurface(255, 255, 255);
const QColor kOutside(232, 232, 232);
const QColor kGrid(222, 228, 236);
const QColor kLine(31, 78, 156);
const QColor kFill(31, 78, 156, 36);
const QColor kLast(200, 40, 40);

// Sides an arc is drawn with: smooth at any size the view is likely to have.
constexpr int kArcPieces = 48;

}  // namespace

FigureView::FigureView(QWidget* parent) : QWidget(parent), style_{kLine, kFill} {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    updateTimer_.setSingleShot(true);
    connect(&updateTimer_, &QTimer::timeout, this, [this] { update(); });
}

void FigureView::SetFigure(Figure figure) {
    figure_ = std::move(figure);
    path_.clear();
    if (!figure_.arcMiddles.empty())
        path_ = CircleArc::PathThrough(figure_.points, figure_.arcMiddles, kArcPieces);
    GrowSeenArea();
    // A figure that took long to paint is painted again only after a pause,
    // so that a long trace keeps the program responsive whatever its shape.
    if (!sinceLastPaint_.isValid() || lastPaintMs_ < 2) {
        update();
        return;
    }
    const qint64 wait = kPaintSpacing * lastPaintMs_ - sinceLastPaint_.elapsed();
    if (wait <= 0) {
        update();
    } else if (!updateTimer_.isActive()) {
        updateTimer_.start(static_cast<int>(std::min<qint64>(wait, 1000)));
    }
}

void FigureView::SetNote(const QString& note) {
    if (note == note_) return;
    note_ = note;
    update();
}

void FigureView::SetArea(const TabletArea& area) {
    area_ = area;
    update();
}

void FigureView::SetCountsPerPixel(double x, double y) {
    countsPerPixelX_ = x;
    countsPerPixelY_ = y;
    update();
}

void FigureView::SetOrigin(const QPointF& pixels) {
    origin_ = pixels;
    update();
}

void FigureView::SetGridSpacing(double counts) {
    gridSpacing_ = counts;
    update();
}

void FigureView::SetBackdrop(FigureBackdrop* backdrop) {
    backdrop_ = backdrop;
    update();
}

void FigureView::SetFigureColours(const QColor& line, const QColor& fill) {
    style_ = {line, fill};
    update();
}

void FigureView::GrowSeenArea() {
    if (figure_.points.empty()) return;
    // Plain integers in the loop: it runs over every point at each refresh.
    const FigurePoint first = figure_.points.front();
    TabletArea area = seen_.value_or(TabletArea{first.x, first.y, first.x, first.y});
    for (const FigurePoint& p : figure_.points) {
        area.minX = std::min(area.minX, p.x);
        area.minY = std::min(area.minY, p.y);
        area.maxX = std::max(area.maxX, p.x);
        area.maxY = std::max(area.maxY, p.y);
    }
    seen_ = area;
}

QSize FigureView::sizeHint() const { return {480, 360}; }

void FigureView::SetMarks(std::vector<FigureMark> marks) {
    marks_.Set(std::move(marks));
    update();
}

QRect FigureView::SurfaceRect() const {
    const int statusHeight = fontMetrics().height() + 6;
    return {0, 0, width(), std::max(height() - statusHeight, 1)};
}

std::optional<TabletArea> FigureView::FittedArea() const {
    if (area_) return area_;
    return seen_;
}

QTransform FigureView::CountsToPixels() const {
    const QRect surface = SurfaceRect();
    if (countsPerPixelX_ > 0.0 && countsPerPixelY_ > 0.0) {
        return QTransform(1.0 / countsPerPixelX_, 0, 0, 1.0 / countsPerPixelY_,
                          surface.left() + origin_.x(), surface.top() + origin_.y());
    }
    const std::optional<TabletArea> area = FittedArea();
    if (!area) return QTransform::fromTranslate(surface.left(), surface.top());
    // Spans in counts as doubles: a device's full 32-bit range does not fit
    // a 32-bit difference. A single point or line gets a span of 1.
    const double spanX = std::max(static_cast<double>(area->maxX) - area->minX, 1.0);
    const double spanY = std::max(static_cast<double>(area->maxY) - area->minY, 1.0);
    const double roomX = std::max(surface.width() - 2 * kFitMargin, 1);
    const double roomY = std::max(surface.height() - 2 * kFitMargin, 1);
    const double scale = std::min(roomX / spanX, roomY / spanY);
    const double left = surface.left() + (surface.width() - spanX * scale) / 2.0;
    const double top = surface.top() + (surface.height() - spanY * scale) / 2.0;
    return QTransform(scale, 0, 0, scale, left - area->minX * scale, top - area->minY * scale);
}

const FigureRaster& FigureView::Raster() const {
    raster_.Update(path_.empty() ? figure_.points : path_, figure_.closed, CountsToPixels(),
                   SurfaceRect().size(), devicePixelRatioF(), style_);
    return raster_;
}

QPolygonF FigureView::FigurePolyline() const { return Raster().Polyline(); }

void FigureView::paintEvent(QPaintEvent*) {
    QElapsedTimer timing;
    timing.start();
    Paint();
    lastPaintMs_ = timing.elapsed();
    sinceLastPaint_.start();
}

void FigureView::Paint() {
    QPainter painter(this);
    const QRect surface = SurfaceRect();
    const QTransform map = CountsToPixels();

    painter.fillRect(rect(), palette().window());
    const bool fixedScale = countsPerPixelX_ > 0.0 && countsPerPixelY_ > 0.0;
    if (fixedScale || !area_) {
        painter.fillRect(surface, kSurface);
    } else {
        // The device's area as a sheet on a grey ground, so that its edges
        // show where the pen can reach.
        painter.fillRect(surface, kOutside);
        const QRectF sheet = map.mapRect(
            QRectF(QPointF(area_->minX, area_->minY), QPointF(area_->maxX, area_->maxY)));
        painter.fillRect(sheet, kSurface);
        painter.setPen(QPen(kGrid, 1));
        painter.drawRect(sheet);
    }

    painter.save();
    painter.setClipRect(surface);
    if (backdrop_ != nullptr) {
        painter.save();
        backdrop_->PaintBackdrop(painter, map, surface);
        painter.restore();
    }
    if (fixedScale) PaintGrid(painter, map);
    marks_.Paint(painter, map, surface);
    PaintFigure(painter);
    painter.restore();

    const QRect status =
        QRect(0, surface.bottom() + 1, width(), height() - surface.height()).adjusted(6, 0, -6, 0);
    if (!figure_.listing.isEmpty()) {
        // The figures of a sum, the values of repeated measurements: over
        // the surface's corner, on a pale ground that keeps them legible
        // over a drawing.
        const QRect list = surface.adjusted(6, 4, -6, -4);
        const QString text = figure_.listing.join(QLatin1Char('\n'));
        QRect box = fontMetrics().boundingRect(list, Qt::AlignLeft | Qt::AlignTop, text);
        box = box.adjusted(-3, -1, 3, 1).intersected(surface);
        painter.fillRect(box, QColor(255, 255, 255, 210));
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(list, Qt::AlignLeft | Qt::AlignTop, text);
    }

    painter.setPen(figure_.alert ? kLast : palette().color(QPalette::WindowText));
    if (figure_.alert) {
        QFont bold = painter.font();
        bold.setBold(true);
        painter.setFont(bold);
    }
    const QString text =
        QFontMetrics(painter.font()).elidedText(figure_.status, Qt::ElideRight, status.width());
    painter.drawText(status, Qt::AlignVCenter | Qt::AlignLeft, text);
    const int gap = QFontMetrics(painter.font()).horizontalAdvance(text + QStringLiteral("　"));
    painter.setFont(font());
    QString notice = figure_.notice;
    if (!note_.isEmpty()) notice += (notice.isEmpty() ? QString() : QStringLiteral("　")) + note_;
    if (!notice.isEmpty()) {
        // After the status, in the colour of the last point: what went wrong
        // must not pass for part of the figure's description.
        const QRect rest = status.adjusted(gap, 0, 0, 0);
        painter.setPen(kLast);
        painter.drawText(rest, Qt::AlignVCenter | Qt::AlignLeft,
                         fontMetrics().elidedText(notice, Qt::ElideRight, rest.width()));
    }
}

void FigureView::PaintGrid(QPainter& painter, const QTransform& map) const {
    if (gridSpacing_ <= 0.0) return;
    const QRectF surface(SurfaceRect());
    const QRectF counts = map.inverted().mapRect(surface);
    painter.setPen(QPen(kGrid, 1));
    for (double x = std::ceil(counts.left() / gridSpacing_) * gridSpacing_; x <= counts.right();
         x += gridSpacing_) {
        const double px = map.map(QPointF(x, 0)).x();
        painter.drawLine(QPointF(px, surface.top()), QPointF(px, surface.bottom()));
    }
    for (double y = std::ceil(counts.top() / gridSpacing_) * gridSpacing_; y <= counts.bottom();
         y += gridSpacing_) {
        const double py = map.map(QPointF(0, y)).y();
        painter.drawLine(QPointF(surface.left(), py), QPointF(surface.right(), py));
    }
}

void FigureView::PaintFigure(QPainter& painter) const {
    const FigureRaster& raster = Raster();
    const qsizetype vertices = raster.VertexCount();
    if (vertices == 0) return;
    raster.Paint(painter);
    painter.setRenderHint(QPainter::Antialiasing, raster.Smooth());
    painter.setBrush(Qt::NoBrush);
    const QPointF last = raster.Vertex(vertices - 1);
    if (figure_.closed && vertices >= 2) {
        // The closing side is not a stroke of the pen: it is where the area
        // will be closed when the figure ends.
        painter.setPen(QPen(style_.line, 1.5, Qt::DashLine));
        painter.drawLine(last, raster.Vertex(0));
    }

    painter.setPen(Qt::NoPen);
    if (!path_.empty()) {
        // With arcs the path's vertices are mostly along arcs: the marks go
        // on the picks themselves.
        const QTransform map = CountsToPixels();
        painter.setBrush(style_.line);
        if (figure_.points.size() <= static_cast<std::size_t>(kMaxMarkedPoints))
            for (const FigurePoint& p : figure_.points)
                painter.drawEllipse(map.map(QPointF(p.x, p.y)), 3.0, 3.0);
    } else if (vertices <= kMaxMarkedPoints) {
        painter.setBrush(style_.line);
        for (qsizetype i = 0; i < vertices; ++i) painter.drawEllipse(raster.Vertex(i), 3.0, 3.0);
    }
    // The point that undo would drop.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kLast, 2));
    painter.drawEllipse(last, 5.0, 5.0);
}
