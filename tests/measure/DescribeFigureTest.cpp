#include <gtest/gtest.h>

#include <QLocale>
#include <limits>
#include <utility>
#include <vector>

#include "DescribeFigure.h"
#include "MeasureEngine.h"
#include "QStringPrinter.h"

namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

struct Scale : ScaleSource {
    Scale(const char* r, const char* c)
        : reference(QString::fromUtf8(r)), counts(QString::fromUtf8(c)) {}
    QString ReferenceLengthText() const override { return reference; }
    QString TabletCountsText() const override { return counts; }
    QString reference;
    QString counts;
};

using Points = std::vector<std::pair<std::int32_t, std::int32_t>>;

const Points kSquare = {{0, 0}, {400, 0}, {400, 400}, {0, 400}};

PointStore Store(const Points& points) {
    PointStore store;
    for (const auto& [x, y] : points) store.Append(x, y);
    return store;
}

FigureFacts Facts(std::int32_t mode, bool length, const char* caption, int axis = 0,
                  int decimals = 2) {
    FigureFacts facts;
    facts.mesMode = mode;
    facts.lengthMode = length;
    facts.caption = QString::fromUtf8(caption);
    facts.twoPointAxis = axis;
    facts.decimals = decimals;
    return facts;
}

// Scale texts are read with the locale's conventions; the program is used on
// Japanese systems.
class FigureStatus : public ::testing::Test {
  protected:
    FigureStatus() { QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan)); }
    ~FigureStatus() override { QLocale::setDefault(saved_); }

  private:
    QLocale saved_;
};

}  // namespace

TEST_F(FigureStatus, says_what_is_measured_and_how_far_it_has_got) {
    struct Row {
        const char* what;
        FigureFacts facts;
        Points points;
        const char* expected;
        Scale scale = Scale("1", "400");
    };
    const Row rows[] = {
        {"no run", Facts(kMesNone, false, "多点の面積"), {}, "計測していません"},
        {"no run, points held for F12", Facts(kMesNone, true, "多点の距離"), kSquare,
         "計測していません　4点"},
        {"calibration",
         Facts(kMesCalibration, true, "二点間の距離"),
         {{0, 0}},
         "タブレット上の長さの自動計測　1点"},
        {"run without points", Facts(kMesPicked, false, "多点の面積"), {}, "多点の面積　0点"},
        {"two points, one pick",
         Facts(kMesTwoPoint, true, "二点間の距離"),
         {{0, 0}},
         "二点間の距離　1点　点が足りません"},
        {"two points",
         Facts(kMesTwoPoint, true, "二点間の距離"),
         {{0, 0}, {300, 400}},
         "二点間の距離　2点　距離 1.25"},
        {"two points, X only",
         Facts(kMesTwoPoint, true, "二点間の距離", 1),
         {{0, 0}, {300, 400}},
         "二点間の距離　2点　距離 .75"},
        {"two points, Y only",
         Facts(kMesTwoPoint, true, "二点間の距離", 2),
         {{0, 0}, {300, 400}},
         "二点間の距離　2点　距離 1.00"},
        {"area needs three points",
         Facts(kMesPicked, false, "多点の面積"),
         {{0, 0}, {400, 0}},
         "多点の面積　2点　点が足りません"},
        {"area closed now", Facts(kMesPicked, false, "多点の面積"), kSquare,
         "多点の面積　4点　面積 1.00"},
        {"length is an open path", Facts(kMesPicked, true, "多点の距離"), kSquare,
         "多点の距離　4点　長さ 3.00"},
        {"traced, grid's decimals", Facts(kMesTraced, true, "なぞり距離", 0, 0), kSquare,
         "なぞり距離　4点　長さ 3"},
        {"traced area in the square of the unit", Facts(kMesTraced, false, "なぞり面積"), kSquare,
         "なぞり面積　4点　面積 100.00", Scale("10", "400")},
        {"scale not a number", Facts(kMesPicked, true, "多点の距離"), kSquare,
         "多点の距離　4点　スケールが正しくありません", Scale("abc", "400")},
        {"scale of zero counts", Facts(kMesPicked, false, "多点の面積"), kSquare,
         "多点の面積　4点　スケールが正しくありません", Scale("1", "0")},
        {"too few points is said before a bad scale",
         Facts(kMesPicked, false, "多点の面積"),
         {{0, 0}},
         "多点の面積　1点　点が足りません",
         Scale("", "")},
        {"coordinates are written at each pick",
         Facts(kMesCoordinate, false, "座標点"),
         {{5, 5}},
         "座標点　1点"},
        {"difference beyond 32 bits",
         Facts(kMesTwoPoint, true, "二点間の距離"),
         {{kMin, 0}, {kMax, 0}},
         "二点間の距離　2点　値が求められません"},
        {"area beyond a double",
         Facts(kMesPicked, false, "多点の面積"),
         {{0, 0}, {1000000000, 0}, {1000000000, 1000000000}},
         "多点の面積　3点　値が求められません",
         Scale("1e299", "1")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const PointStore store = Store(row.points);
        EXPECT_EQ(DescribeFigure(store, row.facts, row.scale), QString::fromUtf8(row.expected));
    }
}

TEST_F(FigureStatus, leaves_the_store_as_it_was) {
    // The area is that of the polygon closed now; the calculation that ends
    // the figure appends the closing point, this must not.
    PointStore store = Store(kSquare);
    store.lPointX[4] = 12345;
    const Figure figure =
        CurrentFigure(store, Facts(kMesPicked, false, "多点の面積"), Scale("1", "400"));
    EXPECT_EQ(store.lPointCount, 4);
    EXPECT_EQ(store.lPointX[4], 12345);
    EXPECT_EQ(figure.status, QStringLiteral("多点の面積　4点　面積 1.00"));
}

TEST_F(FigureStatus, figure_holds_the_valid_points_and_is_closed_only_for_an_area) {
    PointStore store = Store({{1, 2}, {3, 4}, {5, 6}});
    store.lPointCount = 2;  // the last point was dropped: stale above
    const Scale scale("1", "400");
    const Figure figure = CurrentFigure(store, Facts(kMesPicked, true, "多点の距離"), scale);
    ASSERT_EQ(figure.points.size(), 2u);
    EXPECT_EQ(figure.points[1].x, 3);
    EXPECT_EQ(figure.points[1].y, 4);

    struct Row {
        std::int32_t mode;
        bool length;
        bool closed;
    };
    const Row rows[] = {
        {kMesPicked, false, true},       {kMesTraced, false, true},
        {kMesPicked, true, false},       {kMesTraced, true, false},
        {kMesTwoPoint, true, false},     {kMesCoordinate, false, false},
        {kMesCalibration, false, false}, {kMesNone, false, true},
        {kMesNone, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "mode " << row.mode << " length " << row.length);
        EXPECT_EQ(CurrentFigure(store, Facts(row.mode, row.length, ""), scale).closed, row.closed);
    }
}
