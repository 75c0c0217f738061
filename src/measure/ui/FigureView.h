#pragma once

#include <QElapsedTimer>
#include <QPolygonF>
#include <QTimer>
#include <QTransform>
#include <QWidget>
#include <optional>

#include "measure/Figure.h"
#include "measure/ui/FigureMarks.h"
#include "measure/ui/FigureRaster.h"

class FigureBackdrop;
class QPainter;

// Draws a figure in tablet counts over the tablet's surface, with the
// figure's status line along the bottom. The surface is mapped to the widget
// in one of three ways:
//   an area given by SetArea: the whole area fitted in, aspect ratio kept;
//   a fixed scale given by SetCountsPerPixel: counts 0,0 at the origin
//     given by SetOrigin (the surface's top-left corner unless moved), so
//     that the figure lies under the pointer that made it (the on-screen
//     pad);
//   neither: an area that grows to hold every point shown so far, so the
//     view does not jump when a point is dropped.
// Y grows downward in counts and in pixels, as on a tablet.
class FigureView : public QWidget {
    Q_OBJECT
  public:
    explicit FigureView(QWidget* parent = nullptr);

    void SetFigure(Figure figure);
    const Figure& ShownFigure() const { return figure_; }

    // The view's own word after the figure's notice, for as long as it
    // holds (the pad's scale is a guess); empty for none.
    void SetNote(const QString& note);
    const QString& Note() const { return note_; }

    void SetArea(const TabletArea& area);
    void SetCountsPerPixel(double x, double y);
    // On a fixed scale: where counts 0,0 lie, in pixels from the surface's
    // top-left corner.
    void SetOrigin(const QPointF& pixels);
    // Light lines every `counts` on a fixed scale (the pad's 10 mm grid); 0
    // for none.
    void SetGridSpacing(double counts);
    // Painted under the figure; null for none. Not owned.
    void SetBackdrop(FigureBackdrop* backdrop);
    // The kept figures drawn under the figure being measured.
    void SetMarks(std::vector<FigureMark> marks);
    const FigureMarks& Marks() const { return marks_; }
    // The figure's path and an area's shading (translucent); the defaults
    // suit a plain white surface.
    void SetFigureColours(const QColor& line, const QColor& fill);

    // Where the surface is drawn: the widget less the status line, in pixels.
    QRect SurfaceRect() const;
    // Tablet counts to widget pixels under the current mapping.
    QTransform CountsToPixels() const;
    // The figure's path in widget pixels as drawn: points that fall on the
    // pixel of the point kept before them are left out (a long trace draws
    // what can be seen, not every point); the last point is always kept.
    QPolygonF FigurePolyline() const;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    // The area the fitting mappings show; nullopt before there is any.
    std::optional<TabletArea> FittedArea() const;
    void GrowSeenArea();
    void Paint();
    void PaintGrid(QPainter& painter, const QTransform& map) const;
    void PaintFigure(QPainter& painter) const;
    // The figure drawn at the current mapping and size, brought up to date.
    const FigureRaster& Raster() const;

    Figure figure_;
    // The figure's path with its arcs as runs of short sides, in counts;
    // empty when it has no arcs and the points are the path.
    std::vector<FigurePoint> path_;
    QString note_;
    std::optional<TabletArea> area_;
    std::optional<TabletArea> seen_;
    double countsPerPixelX_ = 0.0;
    double countsPerPixelY_ = 0.0;
    QPointF origin_;
    double gridSpacing_ = 0.0;
    FigureBackdrop* backdrop_ = nullptr;
    FigureMarks marks_;
    FigureRaster::Style style_;
    // Kept between paints: brought up to date when it is used.
    mutable FigureRaster raster_;
    // How long the last paint took, and since when it is done.
    qint64 lastPaintMs_ = 0;
    QElapsedTimer sinceLastPaint_;
    QTimer updateTimer_;
};
