// The scale from a drawing's ratio and unit, and a cross-section's vertical
// scale, through the real window: the box "縮尺から設定", the picks, the grid,
// the figure window's status line and the settings file.

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "measure/ui/FigureWindow.h"
#include "QStringPrinter.h"
#include "WindowFixture.h"

namespace {

class WindowScale : public ::testing::Test {
  protected:
    void SetUp() override {
        f.services.figure = &figure;
        f.services.tabletCountsPerMm = 200;
        f.Start();
    }
    void TearDown() override { f.Stop(); }

    QString Box(int i) { return f.Find<QLineEdit>(QStringLiteral("txtInput(%1)").arg(i))->text(); }
    void Click(const char* name) {
        QTest::mouseClick(f.Find<QAbstractButton>(QString::fromUtf8(name)), Qt::LeftButton);
    }
    // "縮尺から設定…", confirmed with `scale`.
    void SetScale(double ratio, const char* unit, std::optional<double> up = std::nullopt,
                  const char* areaUnit = "") {
        DrawingScale scale;
        scale.ratio = ratio;
        scale.unit = QString::fromUtf8(unit);
        scale.areaUnit = QString::fromUtf8(areaUnit);
        scale.countsPerMm = 200;
        scale.verticalRatio = up;
        f.dialogs.scales.push_back(scale);
        Click("cmdScaleRatio");
    }
    void Measure(int option) {
        f.Find<QRadioButton>(QStringLiteral("optMes(%1)").arg(option))->setChecked(true);
        Click("cmdMes(0)");
    }
    // A square of `side` counts, picked; the status shown before it ends.
    QString PickSquare(int side) {
        for (auto [x, y] : {std::pair{0, 0}, {side, 0}, {side, side}, {0, side}})
            f.tablet.PushPick(x, y);
        f.Deliver();
        f.window->RefreshFigure();
        return figure.View().ShownFigure().status;
    }
    void End() {
        f.tablet.PushSide();
        f.Deliver();
    }
    QString Cell(int row, int col) { return f.window->Grid().TextMatrix(row, col); }
    QLabel* Vertical() { return f.Find<QLabel>(QStringLiteral("lblVertical")); }

    FigureWindow figure;
    WindowFixture f;
};

}  // namespace

TEST_F(WindowScale, a_ten_millimetre_square_at_1_to_500_in_metres_measures_25_square_metres) {
    SetScale(500, "m");
    ASSERT_EQ(f.dialogs.scalePresets.size(), 1u);
    EXPECT_EQ(f.dialogs.scalePresets[0].countsPerMm, 200) << "the tablet's own resolution";
    EXPECT_EQ(Box(0), QStringLiteral("500"));
    EXPECT_EQ(Box(3), QStringLiteral("200000"));

    Measure(1);  // 多点の面積
    EXPECT_EQ(PickSquare(2000), QStringLiteral("多点の面積　4点　面積 25.00 m²"));
    End();
    EXPECT_EQ(Cell(1, 1), QStringLiteral("25.00"));
    EXPECT_TRUE(Vertical()->isHidden());

    // A reference length typed by hand no longer names the unit.
    f.Find<QLineEdit>(QStringLiteral("txtInput(0)"))->setText(QStringLiteral("50"));
    EXPECT_EQ(PickSquare(2000), QStringLiteral("多点の面積　4点　面積 .25"));
}

TEST_F(WindowScale, a_cross_section_at_1_to_100_across_and_1_to_50_up_measures_its_true_area) {
    SetScale(100, "m", 50);
    EXPECT_FALSE(Vertical()->isHidden());
    EXPECT_EQ(Vertical()->text(), QStringLiteral("※縦横別縮尺\n縦 × 0.5"));
    Measure(1);
    // 10 mm across is 1 m, 10 mm up is 0.5 m.
    EXPECT_EQ(PickSquare(2000), QStringLiteral("多点の面積　4点　面積 .50 m²　縦横別縮尺"));
    End();
    EXPECT_EQ(Cell(1, 1), QStringLiteral(".50"));

    // Hectares on the same drawing: only areas change.
    SetScale(100, "m", 50, "ha");
    Measure(3);  // 多点の距離: across, up, back across
    EXPECT_EQ(PickSquare(2000), QStringLiteral("多点の距離　4点　長さ 2.50 m　縦横別縮尺"));
}

TEST_F(WindowScale, the_vertical_calibration_takes_the_factor_from_two_picks_up_the_drawing) {
    // 10 units are 800 counts across; the drawing's 10 units up took 400.
    Click("cmdScaleVertical");
    f.window->RefreshFigure();
    EXPECT_EQ(figure.View().ShownFigure().status, QStringLiteral("縦の長さの自動計測　0点"));
    f.tablet.PushPick(100, 100);
    f.tablet.PushPick(100, 500);
    f.Deliver();
    EXPECT_EQ(Vertical()->text(), QStringLiteral("※縦横別縮尺\n縦 × 2"));
    EXPECT_EQ(Box(3), QStringLiteral("800")) << "the counts across stay";

    Measure(0);  // 二点間の距離: 400 counts up now read 10
    f.tablet.PushPick(0, 0);
    f.tablet.PushPick(0, 400);
    f.Deliver();
    EXPECT_EQ(Cell(1, 1), QStringLiteral("10.00"));

    // Picks that are not apart up give no factor and say so.
    Click("cmdScaleVertical");
    f.tablet.PushPick(0, 0);
    f.tablet.PushPick(500, 0);
    f.Deliver();
    QApplication::processEvents();
    EXPECT_EQ(f.dialogs.Count(FakeDialogs::Shown::Kind::Notice), 1);
    EXPECT_EQ(Vertical()->text(), QStringLiteral("※縦横別縮尺\n縦 × 2"));
}

// The keys themselves: ScaleMemoryTest.
TEST_F(WindowScale, the_scale_is_kept_for_the_next_start) {
    SetScale(500, "m", 250, "ha");
    f.Stop();
    f.Start();
    EXPECT_FALSE(Vertical()->isHidden());
    Measure(1);
    EXPECT_EQ(PickSquare(2000), QStringLiteral("多点の面積　4点　面積 .00 ha　縦横別縮尺"));
    f.dialogs.scales.push_back(std::nullopt);  // cancelled: nothing changes
    Click("cmdScaleRatio");
    const DrawingScale& preset = f.dialogs.scalePresets.back();
    EXPECT_EQ(preset.ratio, 500);
    EXPECT_EQ(preset.unit, QStringLiteral("m"));
    EXPECT_EQ(preset.areaUnit, QStringLiteral("ha"));
    EXPECT_EQ(preset.verticalRatio, 250);
    EXPECT_EQ(Box(0), QStringLiteral("500"));
}
