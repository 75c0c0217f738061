// The planimeter's functions in the engine: arcs in picked figures, sums with
// holes, the mean of repeated measurements.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "DefaultLocale.h"
#include "FakeMeasureHost.h"
#include "FakePadLink.h"
#include "QStringPrinter.h"
#include "measure/CircleArc.h"
#include "measure/MeasureEngine.h"

namespace {

constexpr double kPi = std::numbers::pi;

enum Option { kTwoPoint, kPickedArea, kTracedArea, kPickedLength, kTracedLength, kCoordinate };

using Points = std::vector<std::pair<std::int32_t, std::int32_t>>;

// One pick of a figure; `arc` presses F7 before it, so that it is the
// arc's middle.
struct Pick {
    std::int32_t x;
    std::int32_t y;
    bool arc = false;
};

class Planimeter : public ::testing::Test {
  protected:
    Planimeter() : engine(pad, host, {}) {
        host.store = &engine.points;
        // The settings' default: 10 mm over 800 counts.
        host.referenceLength = QStringLiteral("10");
        host.tabletCounts = QStringLiteral("800");
    }
    void Start(int option) {
        host.selected = option;
        engine.cmdMes_Click(0);
    }
    void Pick(std::int32_t x, std::int32_t y) {
        pad.PushPick(x, y);
        engine.GetWintab(0, 0);
    }
    void PickAll(const std::vector<struct Pick>& picks) {
        for (const auto& p : picks) {
            if (p.arc) engine.ArcKey();
            Pick(p.x, p.y);
        }
    }
    // A picked figure ended by F12, or a traced one ended by its stroke.
    void Figure(int option, const Points& corners) {
        if (option == kTracedArea || option == kTracedLength) {
            pad.PushStroke(corners);
            engine.GetWintab(0, 0);
            return;
        }
        for (const auto& [x, y] : corners) Pick(x, y);
        engine.CalcLengthArea();
    }
    ::Figure Shown() const {
        ::Figure figure;
        engine.DescribeFunctions(figure, 2);
        return figure;
    }

    DefaultLocale japanese;
    FakePadLink pad;
    FakeMeasureHost host;
    MeasureEngine engine;
};

// Counts where 800 counts are 10 mm.
constexpr std::int32_t kMm = 80;

// A rectangle w by h millimetres from the origin.
Points Rectangle(int w, int h) { return {{0, 0}, {w * kMm, 0}, {w * kMm, h * kMm}, {0, h * kMm}}; }

}  // namespace

// ---- arcs ----

// The upper half of a circle of radius 10 mm (800 counts) about the origin,
// picked as two quarter arcs on whole counts (480, 640, 800 is 3, 4, 5), then
// closed straight along the diameter.
TEST_F(Planimeter, semicircle_picked_as_two_arcs_measures_exactly) {
    const std::vector<struct Pick> arcs = {
        {-800, 0}, {-480, 640, true}, {0, 800}, {480, 640, true}, {800, 0}};
    std::vector<struct Pick> reversed(arcs.rbegin(), arcs.rend());
    for (auto& p : reversed) p.arc = false;
    reversed[1].arc = reversed[3].arc = true;
    struct Case {
        const char* name;
        int option;
        std::vector<struct Pick> picks;
        double expected;
    };
    const Case cases[] = {
        {"area", kPickedArea, arcs, kPi * 100 / 2},
        {"area picked the other way round", kPickedArea, reversed, kPi * 100 / 2},
        // The perimeter: back along the diameter to the first pick.
        {"perimeter", kPickedLength, arcs, kPi * 10 + 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.values.clear();
        Start(c.option);
        PickAll(c.picks);
        if (c.option == kPickedLength) Pick(c.picks.front().x, c.picks.front().y);
        engine.CalcLengthArea();
        ASSERT_EQ(host.values.size(), 1u);
        EXPECT_NEAR(host.values[0], c.expected, 1e-9);
    }
}

TEST_F(Planimeter, arc_bulging_into_the_figure_takes_its_segment_off) {
    // A 20 mm square whose top side is a half circle bowed inwards: the
    // circle through (1600,0), (800,800), (0,0) has its centre at (800,0).
    Start(kPickedArea);
    PickAll({{0, 1600}, {1600, 1600}, {1600, 0}, {800, 800, true}, {0, 0}});
    engine.CalcLengthArea();
    ASSERT_EQ(host.values.size(), 1u);
    EXPECT_NEAR(host.values[0], 400 - kPi * 100 / 2, 1e-9);
}

// Under a vertical factor the arc drawn on the paper is an ellipse's: the
// circle is fitted in counts, the segment stretched with the figure, the
// length integrated along the stretched arc.
TEST_F(Planimeter, arc_under_a_vertical_factor_is_an_ellipse_arc) {
    // A quarter circle of radius 5 counts, through (4,3): stretched by 2 it
    // is a quarter of the ellipse with half axes 5 and 10, whose perimeter
    // is 5 × 9.688448220547675 (the ellipse 1 by 2).
    const auto arc = CircleArc::Through({5, 0}, {4, 3}, {0, 5});
    ASSERT_TRUE(arc);
    EXPECT_NEAR(arc->Length(1.0), 5 * kPi / 2, 1e-12);
    EXPECT_NEAR(arc->Length(2.0), 5 * 9.688448220547675 / 4, 1e-9);
    EXPECT_NEAR(arc->Length(0.5), 2.5 * 9.688448220547675 / 4, 1e-9);

    // The half disc of radius 10 mm: its area multiplied by the factor
    // exactly, for any factor.
    for (double factor : {1.0, 2.0, 0.25}) {
        SCOPED_TRACE(factor);
        host.vertical = factor;
        host.values.clear();
        Start(kPickedArea);
        PickAll({{-800, 0}, {-480, 640, true}, {0, 800}, {480, 640, true}, {800, 0}});
        engine.CalcLengthArea();
        ASSERT_EQ(host.values.size(), 1u);
        EXPECT_NEAR(host.values[0], kPi * 100 / 2 * factor, 1e-9);
    }
}

TEST_F(Planimeter, three_picks_in_a_line_are_straight_sides_said_once) {
    Start(kPickedLength);
    PickAll({{0, 0}, {400, 0, true}, {800, 0}});
    EXPECT_TRUE(engine.points.ArcMiddles().empty());
    EXPECT_TRUE(Shown().status.contains(QStringLiteral("一直線")));
    Pick(800, 800);
    EXPECT_FALSE(Shown().status.contains(QStringLiteral("一直線"))) << "said once";
    engine.CalcLengthArea();
    ASSERT_EQ(host.values.size(), 1u);
    EXPECT_NEAR(host.values[0], 20.0, 1e-12);
    // Two picks at one place are no circle either.
    EXPECT_FALSE(CircleArc::Through({0, 0}, {5, 5}, {0, 0}));
}

TEST_F(Planimeter, f7_status_follows_the_arc_and_is_refused_outside_picked_figures) {
    Start(kPickedArea);
    engine.ArcKey();
    EXPECT_TRUE(Shown().status.contains(QStringLiteral("始点"))) << "no start yet";
    Pick(0, 0);
    engine.ArcKey();
    EXPECT_TRUE(Shown().status.contains(QStringLiteral("弧の上の点")));
    engine.ArcKey();  // taken back
    EXPECT_TRUE(Shown().status.isEmpty());
    engine.ArcKey();
    Pick(400, 400);
    EXPECT_TRUE(Shown().status.contains(QStringLiteral("終点")));
    // An arc waiting for its end is no arc when the figure ends there.
    EXPECT_TRUE(engine.points.ArcMiddles().empty());
    Pick(800, 0);
    EXPECT_EQ(engine.points.ArcMiddles(), std::vector<std::int32_t>{1});
    EXPECT_TRUE(Shown().status.isEmpty());
    // Dropping the end leaves the arc waiting for another.
    engine.DropLastPoint();
    EXPECT_TRUE(Shown().status.contains(QStringLiteral("終点")));

    Start(kTracedArea);
    engine.ArcKey();
    EXPECT_TRUE(Shown().status.contains(QStringLiteral("多点の面積")));
}

// ---- sums ----

// 100 plus 50 less 25, in every mode that measures areas, and lengths the
// same way.
TEST_F(Planimeter, sum_with_a_hole_puts_one_value_in_every_area_and_length_mode) {
    struct Case {
        int option;
        std::vector<Points> figures;
        double expected;
    };
    const Case cases[] = {
        {kPickedArea, {Rectangle(10, 10), Rectangle(10, 5), Rectangle(5, 5)}, 125.0},
        {kTracedArea, {Rectangle(10, 10), Rectangle(10, 5), Rectangle(5, 5)}, 125.0},
        // Open paths of three sides: 30 plus 25 less 15.
        {kPickedLength, {Rectangle(10, 10), Rectangle(10, 5), Rectangle(5, 5)}, 40.0},
        {kTracedLength, {Rectangle(10, 10), Rectangle(10, 5), Rectangle(5, 5)}, 40.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        host.values.clear();
        Start(c.option);
        engine.SumKey(false);
        Figure(c.option, c.figures[0]);
        Figure(c.option, c.figures[1]);
        engine.SumKey(true);  // Shift+F8: the next one is a hole
        EXPECT_TRUE(Shown().status.contains(QStringLiteral("差し引く")));
        Figure(c.option, c.figures[2]);
        EXPECT_TRUE(host.values.empty()) << "nothing goes into a cell while summing";
        EXPECT_TRUE(Shown().status.contains(
            QStringLiteral("合算中　図形 3　合計 %1").arg(c.expected, 0, 'f', 2)));
        EXPECT_EQ(Shown().listing.size(), 3);
        EXPECT_TRUE(Shown().listing[2].contains(QStringLiteral("-")));
        engine.SumKey(false);
        ASSERT_EQ(host.values.size(), 1u);
        EXPECT_NEAR(host.values[0], c.expected, 1e-9);
        EXPECT_FALSE(engine.Sum().On());
    }
}

TEST_F(Planimeter, sum_is_refused_for_distances_and_coordinates_with_the_reason) {
    for (int option : {kTwoPoint, kCoordinate}) {
        Start(option);
        engine.SumKey(false);
        EXPECT_FALSE(engine.Sum().On());
        EXPECT_TRUE(Shown().status.contains(QStringLiteral("二点間の距離と座標点")));
    }
}

TEST_F(Planimeter, figure_of_the_other_kind_goes_into_the_cell_not_the_sum) {
    Start(kPickedArea);
    engine.SumKey(false);
    Figure(kPickedArea, Rectangle(10, 10));
    Start(kPickedLength);
    Figure(kPickedLength, Rectangle(10, 10));
    ASSERT_EQ(host.values.size(), 1u);
    EXPECT_NEAR(host.values[0], 30.0, 1e-9);
    EXPECT_EQ(engine.Sum().Entries().size(), 1u);
}

// ---- repeated measurements ----

TEST_F(Planimeter, repeats_put_their_mean_and_show_the_spread_highlighted_over_1_percent) {
    struct Case {
        std::vector<int> sides;  // squares of these sides, millimetres
        double mean;
        double spread;  // per cent
        bool alert;
    };
    const Case cases[] = {
        // 100 and 121: mean 110.5, spread 21 / 110.5.
        {{10, 11}, 110.5, 21 / 110.5 * 100, true},
        {{10, 10}, 100.0, 0.0, false},
        // 100, 121, 100, 100, 144: spread 44 / 113.
        {{10, 11, 10, 10, 12}, 113.0, 44 / 113.0 * 100, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sides.size());
        host.values.clear();
        host.repeats = static_cast<int>(c.sides.size());
        Start(kPickedArea);
        for (std::size_t i = 0; i < c.sides.size(); ++i) {
            EXPECT_TRUE(host.values.empty());
            Figure(kPickedArea, Rectangle(c.sides[i], c.sides[i]));
            if (i + 1 < c.sides.size()) {
                EXPECT_TRUE(Shown().listing.value(0).startsWith(QStringLiteral("1 回目 ")));
            }
        }
        ASSERT_EQ(host.values.size(), 1u);
        EXPECT_NEAR(host.values[0], c.mean, 1e-9);
        ASSERT_TRUE(engine.Repeats().Spread());
        EXPECT_NEAR(*engine.Repeats().Spread(), c.spread, 1e-9);
        EXPECT_EQ(Shown().alert, c.alert);
        EXPECT_TRUE(Shown().status.contains(QStringLiteral("ばらつき")));
    }
}

TEST_F(Planimeter, five_repeats_within_1_percent_are_not_highlighted_and_go_into_a_sum) {
    host.repeats = 5;
    Start(kPickedArea);
    engine.SumKey(false);
    // 800 to 804 counts across, 800 up: 100 to 100.5, spread 0.5 / 100.2.
    for (std::int32_t w : {800, 801, 802, 803, 804})
        Figure(kPickedArea, {{0, 0}, {w, 0}, {w, 800}, {0, 800}});
    EXPECT_NEAR(*engine.Repeats().Spread(), 0.5 / 100.25 * 100, 1e-9);
    EXPECT_FALSE(Shown().alert);
    EXPECT_EQ(Shown().listing.size(), 2) << "the sum's figure and the five values";
    EXPECT_TRUE(Shown().listing[1].contains(QStringLiteral("5 回目 100.50")));
    ASSERT_EQ(engine.Sum().Entries().size(), 1u);
    EXPECT_NEAR(engine.Sum().Total(), 100.25, 1e-9);
}

TEST_F(Planimeter, functions_off_add_nothing_to_the_figure) {
    Start(kPickedArea);
    Figure(kPickedArea, Rectangle(10, 10));
    const ::Figure shown = Shown();
    EXPECT_TRUE(shown.status.isEmpty());
    EXPECT_TRUE(shown.listing.isEmpty());
    EXPECT_FALSE(shown.alert || shown.summing);
    ASSERT_EQ(host.values.size(), 1u);
}
