// The figure drawn once and kept: a trace that grows point by point, and
// then moves by whole pixels, must look as the same trace drawn afresh.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QtMath>
#include <random>

#include "measure/ui/FigureRaster.h"

namespace {

QImage Painted(const FigureRaster& raster, QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    raster.Paint(painter);
    return image;
}

// Pixels of `a` that are not white while `b` is white there and all around:
// ink that one picture has and the other lacks, beyond where a line drawn
// in pieces may step a pixel aside from the same line drawn whole.
int InkMissingNearby(const QImage& a, const QImage& b) {
    const QRgb white = QColor(Qt::white).rgb();
    int missing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) == white) continue;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx)
                    near = b.valid(x + dx, y + dy) && b.pixel(x + dx, y + dy) != white;
            missing += near ? 0 : 1;
        }
    }
    return missing;
}

}  // namespace

TEST(FigureRaster, figure_grown_in_pieces_and_moved_is_drawn_as_the_whole_figure_drawn_afresh) {
    const QSize size(300, 200);
    const QTransform map(0.37, 0, 0, 0.41, -20, 15);  // partly off the image
    struct Case {
        const char* name;
        int points;
        FigureRaster::Style style;
        // The shading is toggled exactly; the path only within a pixel.
        bool exact;
    };
    const Case cases[] = {
        {"shading_of_a_self_crossing_area", 3000, {Qt::transparent, QColor(200, 0, 0, 120)}, true},
        {"smooth_path", 3000, {Qt::black, Qt::transparent}, false},
        {"hairline_path", 20000, {Qt::black, Qt::transparent}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::mt19937 random(7);
        std::uniform_int_distribution<int> step(-40, 40);
        std::vector<FigurePoint> points{{400, 300}};
        FigureRaster grown;
        grown.Update(points, true, map, size, 1.0, c.style);
        while (static_cast<int>(points.size()) < c.points) {
            // Runs of points on one pixel, then jumps across the sheet.
            const int batch = 1 + static_cast<int>(random() % 40);
            for (int i = 0; i < batch; ++i) {
                const FigurePoint& last = points.back();
                points.push_back({last.x + step(random) / (i % 3 == 0 ? 1 : 20),
                                  last.y + step(random) / (i % 5 == 0 ? 1 : 20)});
            }
            grown.Update(points, true, map, size, 1.0, c.style);
        }
        // Then moved by whole pixels, as the pad's drawing is dragged: within
        // the pictures' margin and past it.
        for (const QPoint move : {QPoint(0, 0), QPoint(37, -21), QPoint(400, 90)}) {
            SCOPED_TRACE(move.x());
            const QTransform moved = map * QTransform::fromTranslate(move.x(), move.y());
            grown.Update(points, true, moved, size, 1.0, c.style);
            FigureRaster whole;
            whole.Update(points, true, moved, size, 1.0, c.style);
            EXPECT_EQ(grown.Polyline(), whole.Polyline());
            const QImage a = Painted(grown, size);
            const QImage b = Painted(whole, size);
            if (c.exact) {
                EXPECT_EQ(a, b);
            } else {
                EXPECT_EQ(InkMissingNearby(a, b), 0);
                EXPECT_EQ(InkMissingNearby(b, a), 0);
                // And where the path says it is (a hairline leaves out its
                // very last pixel).
                QImage vertices(size, QImage::Format_ARGB32_Premultiplied);
                vertices.fill(Qt::white);
                const QPolygonF path = grown.Polyline();
                for (qsizetype i = 0; i + 1 < path.size(); ++i) {
                    const QPoint pixel(qFloor(path[i].x()), qFloor(path[i].y()));
                    if (vertices.valid(pixel)) vertices.setPixel(pixel, 0);
                }
                EXPECT_EQ(InkMissingNearby(vertices, a), 0);
            }
        }
    }
}

// Sides far longer than the picture, from well outside it, as a zoomed-in
// view meets them: clipped, they still ink every pixel they cross.
TEST(FigureRaster, sides_from_far_outside_are_drawn_across_the_picture) {
    const QSize size(300, 200);
    const FigureRaster::Style hairline{Qt::black, Qt::transparent};
    std::vector<FigurePoint> points{{-5000000, 50}, {5000000, 50}, {150, -7000000}, {150, 7000000}};
    // Enough vertices for the hairline, all on the two long sides.
    for (int i = 0; i < 1200; ++i) points.push_back({150, 7000000 - i});
    FigureRaster raster;
    raster.Update(points, false, QTransform(), size, 1.0, hairline);
    ASSERT_FALSE(raster.Smooth());
    const QImage image = Painted(raster, size);
    const QRgb white = QColor(Qt::white).rgb();
    for (int x = 0; x < size.width(); ++x) EXPECT_NE(image.pixel(x, 50), white) << x;
    for (int y = 0; y < size.height(); ++y) EXPECT_NE(image.pixel(150, y), white) << y;
}
