// The figure view: how counts map to pixels and what is drawn, checked on
// the view's own path and on its rendering.

#include <gtest/gtest.h>

#include <QImage>
#include <QLineF>

#include "measure/ui/FigureView.h"

TEST(FigureView, tablet_area_is_fitted_whole_without_stretching) {
    FigureView view;
    view.resize(500, 300);
    view.SetArea({0, 0, 2000, 1000});
    const QTransform map = view.CountsToPixels();
    EXPECT_TRUE(QRectF(view.SurfaceRect()).contains(map.map(QPointF(0, 0))));
    EXPECT_TRUE(QRectF(view.SurfaceRect()).contains(map.map(QPointF(2000, 1000))));
    EXPECT_DOUBLE_EQ(map.m11(), map.m22());
    EXPECT_GT(map.m22(), 0) << "Y grows downward as on a tablet";
    EXPECT_GT(map.m11() * 2000, view.width() - 20) << "the wide side fills the width";
}

TEST(FigureView, figure_is_drawn_joined_and_closed_only_as_an_area) {
    FigureView view;
    view.resize(300, 260);
    view.SetArea({0, 0, 1000, 1000});
    for (bool closed : {true, false}) {
        SCOPED_TRACE(closed ? "area" : "length");
        view.SetFigure(Figure{{{100, 100}, {900, 100}, {900, 900}, {100, 900}}, closed, {}, {}});
        const QPolygonF path = view.FigurePolyline();
        ASSERT_EQ(path.size(), 4);
        QImage image(view.size(), QImage::Format_RGB32);
        view.render(&image);
        const auto inked = [&](QPointF at) {
            return image.pixelColor(at.toPoint()).lightness() < 200;
        };
        // The closing side is dashed: look along it.
        bool closingSide = false;
        for (int i = 1; i < 20; ++i)
            closingSide |= inked(QLineF(path[3], path[0]).pointAt(i / 20.0));
        EXPECT_EQ(closingSide, closed);
        for (int i = 0; i < 3; ++i) EXPECT_TRUE(inked((path[i] + path[i + 1]) / 2)) << i;
        const QColor inside = image.pixelColor(((path[0] + path[2]) / 2).toPoint());
        EXPECT_EQ(inside != QColor(Qt::white), closed) << "an area is shaded";
    }
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
    // 10,000 counts along X are 500 pixels: about one vertex a pixel.
    EXPECT_LE(path.size(), 520);
    EXPECT_EQ(path.back(), QPointF(10001 / 20.0, 1003 / 20.0));
}

TEST(FigureMarks, a_kept_arc_is_drawn_and_found_along_the_arc_not_its_chords) {
    // Picks on the circle of radius 100 about the origin: the arc from the
    // first through the second to the third passes (0, 100), which the
    // straight sides miss by 29 counts.
    FigureMark mark;
    mark.points = std::make_shared<const std::vector<FigurePoint>>(
        std::vector<FigurePoint>{{-100, 0}, {-71, 71}, {100, 0}});
    mark.highlighted = true;
    const QTransform identity;
    for (const bool arc : {false, true}) {
        SCOPED_TRACE(arc ? "arc" : "straight");
        FigureMark m = mark;
        if (arc) m.arcMiddles = {1};
        FigureMarks marks;
        marks.Set({m});
        ASSERT_TRUE(marks.HighlightedBounds());
        EXPECT_NEAR(marks.HighlightedBounds()->bottom(), arc ? 100 : 71, 1.5);
        EXPECT_EQ(marks.CellAt(QPointF(0, 99), identity).has_value(), arc);
    }
}

TEST(FigureMarks, kept_figures_stay_on_their_place_while_the_view_is_dragged_near_and_far) {
    FigureView view;
    view.resize(300, 200);
    view.SetCountsPerPixel(1, 1);
    FigureMark mark;
    mark.points = std::make_shared<const std::vector<FigurePoint>>(
        std::vector<FigurePoint>{{40, 40}, {80, 40}, {80, 80}, {40, 80}});
    mark.closed = true;
    // A long trace elsewhere: enough points that the marks are drawn into a
    // layer that a drag only moves.
    FigureMark trace;
    std::vector<FigurePoint> along;
    for (int i = 0; i < 30000; ++i) along.push_back({i, 5000 + i % 7});
    trace.points = std::make_shared<const std::vector<FigurePoint>>(std::move(along));
    view.SetMarks({mark, trace});
    const auto filled = [&](QPointF counts) {
        const QImage picture = view.grab().toImage();
        const QPoint at = view.CountsToPixels().map(counts).toPoint();
        const QColor colour = picture.pixelColor(at);
        return colour.blue() > colour.red() + 10;  // the fill's blue tint
    };
    // Dragged a little (the drawn layer moves), then far (drawn again), then
    // back.
    for (const QPointF origin : {QPointF(0, 0), QPointF(12, -7), QPointF(25, 9), QPointF(150, 60),
                                 QPointF(-30, -20), QPointF(0, 0)}) {
        SCOPED_TRACE(origin.x());
        view.SetOrigin(origin);
        EXPECT_TRUE(filled({60, 60}));
        EXPECT_FALSE(filled({60, 95}));
        EXPECT_FALSE(filled({95, 60}));
    }
}
