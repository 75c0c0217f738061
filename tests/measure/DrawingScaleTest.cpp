// A drawing's ratio, unit and the tablet's resolution turned into the two
// scale texts, and what a figure then measures: the figures a planimeter
// operator checks a new scale with.

#include <gtest/gtest.h>

#include <cmath>

#include "measure/Calculation.h"
#include "measure/DrawingScale.h"
#include "grid/NumberText.h"
#include "QStringPrinter.h"

namespace {

// The scale boxes as the dialog fills them, and its factors.
struct BoxesOf : ScaleSource {
    explicit BoxesOf(const DrawingScale& s) : scale(s) {}
    QString ReferenceLengthText() const override { return scale.ReferenceText(); }
    QString TabletCountsText() const override { return scale.CountsText(); }
    double VerticalFactor() const override { return scale.VerticalFactor(); }
    double AreaFactor() const override { return scale.AreaFactor(); }
    DrawingScale scale;
};

// A square of `mm` millimetres of paper on the tablet, measured as an area.
double SquareArea(const DrawingScale& scale, double mm) {
    const auto side = static_cast<std::int32_t>(std::lround(mm * scale.countsPerMm));
    PointStore store;
    for (auto [x, y] : {std::pair{0, 0}, {side, 0}, {side, side}, {0, side}}) store.Append(x, y);
    return FigureArea(store, BoxesOf(scale));
}

DrawingScale Make(double ratio, const char* unit, double counts, const char* areaUnit = "",
                  std::optional<double> up = std::nullopt) {
    DrawingScale s;
    s.ratio = ratio;
    s.unit = QString::fromUtf8(unit);
    s.areaUnit = QString::fromUtf8(areaUnit);
    s.countsPerMm = counts;
    s.verticalRatio = up;
    return s;
}

}  // namespace

TEST(DrawingScale, ratio_unit_and_resolution_give_the_two_texts_and_the_area_of_a_square) {
    struct Case {
        const char* name;
        DrawingScale scale;
        const char* reference;
        const char* counts;
        const char* area;  // a square of `side` mm, two decimals
        const char* label;
        double side = 10;
    };
    for (const Case& c : {
             // 10 mm at 1 : 500 is 5 m.
             Case{"1:500 m", Make(500, "m", 200), "500", "200000", "25.00", "m²"},
             Case{"1:1 mm on the pad", Make(1, "mm", 80), "1", "80", "100.00", "mm²"},
             Case{"1:200 cm", Make(200, "cm", 100), "200", "1000", "40000.00", "cm²"},
             // 1000 lines per inch: the counts do not divide a millimetre
             // (10 inches are 10000 counts and 2540 cm at 1 : 100).
             Case{"1:100 cm at 1000 lpi", Make(100, "cm", 1000 / 25.4), "100", "393.700787401575",
                  "6451600.00", "cm²", 254},
             Case{"1:1000 km", Make(1000000, "km", 100), "1000000", "100000000", "100.00", "km²"},
             Case{"ares", Make(500, "m", 200, "a"), "500", "200000", ".25", "a"},
             Case{"hectares", Make(5000, "m", 200, "ha"), "5000", "200000", ".25", "ha"},
             // 25 m² is 7.5625 坪.
             Case{"tsubo", Make(500, "m", 200, "坪"), "500", "200000", "7.56", "坪"},
             // 10 mm across at 1 : 100 is 1 m, up at 1 : 50 is 0.5 m.
             Case{"cross-section", Make(100, "m", 200, "", 50), "100", "200000", ".50", "m²"},
         }) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.scale.IsUsable());
        EXPECT_EQ(c.scale.ReferenceText(), QString::fromUtf8(c.reference));
        EXPECT_EQ(c.scale.CountsText(), QString::fromUtf8(c.counts));
        EXPECT_EQ(FormatDecimals(SquareArea(c.scale, c.side), 2), QString::fromUtf8(c.area));
        EXPECT_EQ(c.scale.AreaLabel(), QString::fromUtf8(c.label));
    }
}

TEST(DrawingScale, a_scale_that_cannot_measure_is_refused) {
    for (const DrawingScale& s :
         {Make(0, "m", 200), Make(500, "m", 0), Make(500, "yd", 200), Make(500, "cm", 200, "ha"),
          Make(500, "m", 200, "", 0.0), Make(NAN, "m", 200)}) {
        EXPECT_FALSE(s.IsUsable()) << s.ratio << " " << s.unit.toStdString();
    }
}
