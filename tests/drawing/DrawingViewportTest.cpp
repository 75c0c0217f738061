#include <gtest/gtest.h>

#include <cmath>

#include "drawing/DrawingViewport.h"

// A page of 10^9 points (352,778 km) at the highest zoom: its pixels would
// overflow 32 bits; the zoom is held where they do not, and the paper at the
// centre stays where it was put.
TEST(DrawingViewport,
     a_page_of_a_billion_points_is_held_to_a_zoom_its_pixels_fit_and_keeps_its_centre) {
    for (const double points : {842.0, 1e6, 1e9}) {
        SCOPED_TRACE(points);
        const double mm = points * 25.4 / 72;
        DrawingViewport viewport;
        viewport.SetPage({mm, mm});
        viewport.SetView({1600, 1000});
        const QPointF centre(mm * 0.37, mm * 0.81);
        viewport.Show(DrawingViewport::kMaxZoom, centre);
        EXPECT_LE(viewport.PageRect().width(), DrawingViewport::kMaxPagePixels);
        EXPECT_GT(viewport.Zoom(), 0);
        const QPointF kept = viewport.CentreMm();
        // To the pixel the corner is rounded to.
        const double pixelMm = 1 / viewport.PixelsPerMm();
        EXPECT_NEAR(kept.x(), centre.x(), pixelMm);
        EXPECT_NEAR(kept.y(), centre.y(), pixelMm);
    }
}
