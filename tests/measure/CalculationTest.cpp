#include <gtest/gtest.h>

#include <QLocale>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "measure/Calculation.h"
#include "DefaultLocale.h"
#include "QStringPrinter.h"

namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

struct Scale : ScaleSource {
    Scale(const char* r, const char* c)
        : reference(QString::fromLatin1(r)), counts(QString::fromLatin1(c)) {}
    QString ReferenceLengthText() const override { return reference; }
    QString TabletCountsText() const override { return counts; }
    double VerticalFactor() const override { return vertical; }
    QString reference;
    QString counts;
    double vertical = 1.0;
};

using Points = std::vector<std::pair<std::int32_t, std::int32_t>>;

// Runs the calculation on a store holding `points` and returns what it wrote.
std::optional<double> Calc(const Points& points, bool lengthMode, const Scale& scale) {
    PointStore store;
    for (const auto& [x, y] : points) {
        store.Append(x, y);
    }
    std::optional<double> written;
    int calls = 0;
    CalcLengthArea(store, lengthMode, scale, [&](double v) {
        written = v;
        ++calls;
    });
    EXPECT_LE(calls, 1);
    EXPECT_EQ(store.lPointCount, 0) << "the calculation always empties the store";
    return written;
}

void ExpectValue(const std::optional<double>& actual, const std::optional<double>& expected) {
    ASSERT_EQ(actual.has_value(), expected.has_value());
    if (actual) {
        EXPECT_DOUBLE_EQ(*actual, *expected);
    }
}

const Points kSquare = {{0, 0}, {400, 0}, {400, 400}, {0, 400}};

// The scale texts are read with the locale's conventions; the program is
// used on Japanese systems.
class Calculation : public ::testing::Test {
  private:
    DefaultLocale japanese_;
};

}  // namespace

TEST_F(Calculation, scale_multiplies_then_divides_and_fails_without_a_usable_scale) {
    struct Row {
        const char* reference;
        const char* counts;
        double value;
        std::optional<double> expected;
    };
    const Row rows[] = {
        {"1", "400", 400, 1.0},
        {"10", "400", 400, 10.0},
        {" 10 ", "400", 40, 1.0},
        {"abc", "400", 400, std::nullopt},
        {"", "400", 400, std::nullopt},
        {"1", "", 400, std::nullopt},
        {"1", "0", 400, std::nullopt},
        {"1", "0", 0, std::nullopt},
        // Finite texts whose quotient is not: no infinity reaches the grid.
        {"1e308", "1e-308", 1, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.reference) + " / " + row.counts);
        ExpectValue(ScaleToReal(row.value, Scale(row.reference, row.counts)), row.expected);
    }
}

TEST_F(Calculation, distance_in_counts_or_real_length_fails_on_32_bit_overflow) {
    const Scale scale("1", "400");
    EXPECT_DOUBLE_EQ(*CalcDistance(0, 0, 300, 400, false, scale), 500.0);
    EXPECT_DOUBLE_EQ(*CalcDistance(300, 400, 0, 0, true, scale), 1.25);
    // The unscaled distance needs no scale at all.
    EXPECT_DOUBLE_EQ(*CalcDistance(0, 0, 0, 7, false, Scale("x", "0")), 7.0);
    EXPECT_FALSE(CalcDistance(0, 0, 0, 7, true, Scale("x", "400")));
    EXPECT_FALSE(CalcDistance(0, 0, 0, 7, true, Scale("1", "0")));
    EXPECT_FALSE(CalcDistance(kMin, 0, kMax, 0, false, scale));
    EXPECT_FALSE(CalcDistance(0, kMax, 0, -1, false, scale));
    // The largest differences that fit are fine.
    EXPECT_DOUBLE_EQ(*CalcDistance(kMax, 0, 0, 0, false, scale), 2147483647.0);
    EXPECT_DOUBLE_EQ(*CalcDistance(0, -1, 0, kMax, false, scale), 2147483648.0);
}

TEST_F(Calculation, figures_give_their_length_or_area) {
    struct Row {
        const char* what;
        Points points;
        bool length;
        const char* counts;  // txtInput(3); txtInput(0) is "1" except where noted
        std::optional<double> expected;
        const char* reference = "1";
    };
    const double side = 4294967295.0;
    const Points kCorners = {{kMin, kMin}, {kMax, kMin}, {kMax, kMax}, {kMin, kMax}};
    const Row rows[] = {
        {"square picked for a length: three sides", kSquare, true, "400", 3.0},
        {"square picked for an area", kSquare, false, "400", 1.0},
        {"other direction, same area", {{0, 0}, {0, 400}, {400, 400}, {400, 0}}, false, "400", 1.0},
        {"area in the square of the unit", kSquare, false, "400", 100.0, "10"},
        {"two points: one distance", {{0, 0}, {400, 0}}, true, "400", 10.0, "10"},
        {"one point: no length", {{5, 5}}, true, "400", std::nullopt},
        {"two points: no area", {{0, 0}, {400, 0}}, false, "400", std::nullopt},
        {"collinear: zero area", {{0, 0}, {200, 200}, {400, 400}}, false, "400", 0.0},
        {"zero counts, length", kSquare, true, "0", 0.0},
        {"zero counts, area", kSquare, false, "0", 0.0},
        {"no number, length", kSquare, true, "abc", 0.0},
        {"no number, area", kSquare, false, "", 0.0},
        {"overflowing segment adds nothing", {{kMin, 0}, {kMax, 0}, {kMax, 400}}, true, "400", 1.0},
        {"area at the 32-bit limits", kCorners, false, "1", side * side},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ExpectValue(Calc(row.points, row.length, Scale(row.reference, row.counts)), row.expected);
    }
}

TEST_F(Calculation, vertical_distances_are_stretched_before_every_length_area_and_reading) {
    // 1 : 100 across and 1 : 50 up: 400 counts are 1 unit across, 0.5 up.
    Scale section("1", "400");
    section.vertical = 0.5;
    ExpectValue(Calc(kSquare, false, section), 0.5);
    ExpectValue(Calc(kSquare, true, section), 2.5);  // across, up, back across
    ExpectValue(CalcDistance(0, 0, 400, 400, true, section), std::sqrt(1.25));
    ExpectValue(CalcDistance(0, 0, 400, 400, false, section), std::sqrt(400.0 * 400 + 200 * 200));
    ExpectValue(ScaleYToReal(400, section), 0.5);
    ExpectValue(ScaleToReal(400, section), 1.0);
}

TEST_F(Calculation, the_vertical_factor_comes_from_two_picks_the_reference_length_apart) {
    struct Row {
        const char* what;
        std::int32_t x1, y1, x2, y2;
        const char* counts;
        std::optional<double> factor;
    };
    const Row rows[] = {
        {"straight up, drawn at half", 0, 0, 0, 200, "400", 2.0},
        {"straight down", 0, 200, 0, 0, "400", 2.0},
        {"shrunk paper", 10, 0, 10, 396, "400", 400.0 / 396},
        {"slanting", 0, 0, 240, 160, "400", 2.0},
        {"not apart up", 0, 0, 400, 0, "400", std::nullopt},
        {"across alone is longer", 0, 0, 500, 10, "400", std::nullopt},
        {"no reference counts", 0, 0, 0, 200, "", std::nullopt},
        {"overflowing difference", 0, kMin, 0, kMax, "400", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ExpectValue(VerticalFactorFromPicks(row.x1, row.y1, row.x2, row.y2,
                                            QString::fromLatin1(row.counts)),
                    row.factor);
    }
}
