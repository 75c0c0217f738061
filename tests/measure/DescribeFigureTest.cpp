#include <gtest/gtest.h>

#include <QLocale>
#include <limits>
#include <utility>
#include <vector>

#include "DefaultLocale.h"
#include "measure/DescribeFigure.h"
#include "measure/MeasureEngine.h"
#include "QStringPrinter.h"

namespace {

struct Scale : ScaleSource {
    explicit Scale(const char* c = "400", double up = 1.0, const char* unit = "")
        : counts(QString::fromLatin1(c)), vertical(up), unit(QString::fromUtf8(unit)) {}
    QString ReferenceLengthText() const override { return QStringLiteral("1"); }
    QString TabletCountsText() const override { return counts; }
    double VerticalFactor() const override { return vertical; }
    QString LengthUnit() const override { return unit; }
    QString AreaUnit() const override { return unit.isEmpty() ? unit : unit + QStringLiteral("²"); }
    QString counts;
    double vertical;
    QString unit;
};

using Points = std::vector<std::pair<std::int32_t, std::int32_t>>;
const Points kSquare = {{0, 0}, {400, 0}, {400, 400}, {0, 400}};
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

}  // namespace

TEST(FigureStatus, says_what_is_measured_and_how_far_it_has_got_without_touching_the_store) {
    // Scale texts are read with the locale's conventions, as on the Japanese
    // systems the program is used on.
    const DefaultLocale japanese;
    struct Row {
        std::int32_t mode;
        bool length;
        const char* caption;
        Points points;
        const char* expected;
        bool closed;
        int axis = 0;
        int decimals = 2;
        Scale scale = Scale();
    };
    const Row rows[] = {
        {kMesNone, false, "多点の面積", {}, "計測していません", true},
        {kMesNone, true, "多点の距離", kSquare, "計測していません　4点", false},
        {kMesCalibration, false, "", {{0, 0}}, "タブレット上の長さの自動計測　1点", false},
        {kMesTwoPoint, true, "二点間の距離", {{0, 0}}, "二点間の距離　1点　あと1点", false},
        {kMesTwoPoint,
         true,
         "二点間の距離",
         {{0, 0}, {300, 400}},
         "二点間の距離　2点　距離 .75",
         false,
         1},
        {kMesPicked, false, "多点の面積", {{0, 0}, {400, 0}}, "多点の面積　2点　あと1点", true},
        // The polygon closed now; the calculation that ends the figure
        // appends the closing point, this must not.
        {kMesPicked, false, "多点の面積", kSquare, "多点の面積　4点　面積 1.00", true},
        {kMesTraced, true, "なぞり距離", kSquare, "なぞり距離　4点　長さ 3", false, 0, 0},
        {kMesPicked, true, "多点の距離", kSquare, "多点の距離　4点　スケールが正しくありません",
         false, 0, 2, Scale("0")},
        {kMesCoordinate, false, "座標点", {{5, 5}}, "座標点　1点", false},
        // A scale from a drawing names its unit; a vertical factor is said
        // whatever is measured.
        {kMesPicked, false, "多点の面積", kSquare, "多点の面積　4点　面積 1.00 m²", true, 0, 2,
         Scale("400", 1.0, "m")},
        {kMesTraced, true, "なぞり距離", kSquare, "なぞり距離　4点　長さ 3.00 m", false, 0, 2,
         Scale("400", 1.0, "m")},
        {kMesPicked, false, "多点の面積", kSquare, "多点の面積　4点　面積 .50　縦横別縮尺", true, 0,
         2, Scale("400", 0.5)},
        {kMesNone,
         false,
         "多点の面積",
         {},
         "計測していません　縦横別縮尺",
         true,
         0,
         2,
         Scale("400", 2.0)},
        {kMesTwoPoint,
         true,
         "二点間の距離",
         {{-2, 0}, {kMax, 0}},
         "二点間の距離　2点　値が求められません",
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expected);
        PointStore store;
        for (const auto& [x, y] : row.points) store.Append(x, y);
        if (!row.points.empty()) store.lPointX[row.points.size()] = 12345;
        FigureFacts facts{row.mode, row.length, QString::fromUtf8(row.caption), row.axis,
                          row.decimals};
        const Figure figure = CurrentFigure(store, facts, row.scale);
        EXPECT_EQ(figure.status, QString::fromUtf8(row.expected));
        EXPECT_EQ(figure.closed, row.closed);
        EXPECT_EQ(figure.points.size(), row.points.size());
        EXPECT_EQ(store.lPointCount, std::int32_t(row.points.size()));
        if (!row.points.empty()) {
            EXPECT_EQ(store.lPointX[row.points.size()], 12345);
        }
    }
}
