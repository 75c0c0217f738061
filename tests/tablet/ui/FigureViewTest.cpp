// The figure view: how counts map to pixels and what is drawn, checked on
// the view's own path and on its rendering.

#include <gtest/gtest.h>

#include <QImage>
#include <QLineF>

#include "FigureView.h"

namespace {

Figure Square(bool closed) {
    Figure f;
    f.points = {{100, 100}, {900, 100}, {900, 900}, {100, 900}};
    f.closed = closed;
    f.status = QStringLiteral("多点の面積　4点　面積 100.00");
    return f;
}

QImage Render(FigureView& view) {
    QImage image(view.size(), QImage::Format_RGB32);
    view.render(&image);
    return image;
}

// A pixel is drawn on when it is clearly darker than the white surface.
bool Inked(const QImage& image, QPointF at) {
    const QColor c = image.pixelColor(at.toPoint());
    return c.lightness() < 200;
}

QPointF Between(const QPointF& a, const QPointF& b) { return (a + b) / 2; }

}  // namespace

TEST(FigureView, tablet_area_is_fitted_whole_keeping_its_aspect_ratio) {
    FigureView view;
    view.resize(500, 300);
    view.SetArea({0, 0, 2000, 1000});
    const QRect surface = view.SurfaceRect();
    const QTransform map = view.CountsToPixels();
    const QPointF topLeft = map.map(QPointF(0, 0));
    const QPointF bottomRight = map.map(QPointF(2000, 1000));
    EXPECT_TRUE(QRectF(surface).contains(topLeft));
    EXPECT_TRUE(QRectF(surface).contains(bottomRight));
    EXPECT_DOUBLE_EQ(map.m11(), map.m22()) << "no stretching";
    EXPECT_GT(bottomRight.y(), topLeft.y()) << "Y grows downward as on a tablet";
    // The wider side fills the width, less a margin.
    EXPECT_GT(bottomRight.x() - topLeft.x(), surface.width() - 20);
}

TEST(FigureView, fixed_scale_puts_counts_under_the_pixels_that_made_them) {
    FigureView view;
    view.resize(400, 300);
    view.SetCountsPerPixel(20.0, 25.0);
    const QTransform map = view.CountsToPixels();
    EXPECT_EQ(map.map(QPointF(0, 0)), QPointF(0, 0));
    EXPECT_EQ(map.map(QPointF(2000, 2500)), QPointF(100, 100));
}

TEST(FigureView, figure_is_drawn_joined_and_closed_only_as_an_area) {
    FigureView view;
    view.resize(300, 260);
    view.SetArea({0, 0, 1000, 1000});
    for (bool closed : {true, false}) {
        SCOPED_TRACE(closed ? "area" : "length");
        view.SetFigure(Square(closed));
        const QPolygonF path = view.FigurePolyline();
        ASSERT_EQ(path.size(), 4);
        const QImage image = Render(view);
        EXPECT_TRUE(Inked(image, Between(path[0], path[1])));
        EXPECT_TRUE(Inked(image, Between(path[1], path[2])));
        EXPECT_TRUE(Inked(image, Between(path[2], path[3])));
        // The closing side is dashed: look along it for ink.
        bool closingSide = false;
        for (int i = 1; i < 20; ++i)
            closingSide |= Inked(image, QLineF(path[3], path[0]).pointAt(i / 20.0));
        EXPECT_EQ(closingSide, closed);
        const QColor inside = image.pixelColor(Between(path[0], path[2]).toPoint());
        EXPECT_EQ(inside != QColor(Qt::white), closed) << "an area is shaded";
    }
}

TEST(FigureView, status_line_is_drawn_below_the_surface) {
    FigureView view;
    view.resize(300, 260);
    const QImage empty = Render(view);
    view.SetFigure(Square(true));
    view.SetFigure(Figure{{}, false, QStringLiteral("多点の面積　0点")});
    const QImage withStatus = Render(view);
    const QRect strip(0, view.SurfaceRect().bottom() + 1, view.width(),
                      view.height() - view.SurfaceRect().height());
    EXPECT_NE(empty.copy(strip), withStatus.copy(strip));
    // The emptied figure leaves a clean surface.
    EXPECT_EQ(empty.copy(view.SurfaceRect()), withStatus.copy(view.SurfaceRect()));
}

TEST(FigureView, long_trace_is_drawn_by_the_pixels_it_covers_ending_at_its_last_point) {
    FigureView view;
    view.resize(400, 300);
    view.SetCountsPerPixel(20.0, 20.0);
    Figure trace;
    for (int i = 0; i < 100000; ++i) trace.points.push_back({i / 10, 1000 + (i % 7)});
    trace.points.push_back({10001, 1003});
    view.SetFigure(trace);
    const QPolygonF path = view.FigurePolyline();
    // 10,000 counts along X are 500 pixels, so at most one vertex a pixel.
    EXPECT_LE(path.size(), 520);
    EXPECT_GE(path.size(), 400);
    EXPECT_EQ(path.back(), view.CountsToPixels().map(QPointF(10001, 1003)));
}

TEST(FigureView, without_an_area_the_view_grows_with_the_points_and_does_not_shrink_back) {
    FigureView view;
    view.resize(300, 260);
    view.SetFigure(Square(false));
    const QTransform before = view.CountsToPixels();
    Figure fewer = Square(false);
    fewer.points.pop_back();
    fewer.points.pop_back();
    view.SetFigure(fewer);  // an undo
    EXPECT_EQ(view.CountsToPixels(), before);
    const QPolygonF path = view.FigurePolyline();
    ASSERT_EQ(path.size(), 2);
    EXPECT_TRUE(QRectF(view.SurfaceRect()).contains(path[1]));
}
