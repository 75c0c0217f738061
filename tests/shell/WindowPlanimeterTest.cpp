// The planimeter's functions through the real window: F8 and Shift+F8 on the
// grid sum figures into one value, the repeat count on "その他の設定" puts a
// mean, F7 makes picks an arc; the figure window says what they do. The
// calculations are tested in tests/measure.

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QTest>

#include "FileBytes.h"
#include "QStringPrinter.h"
#include "WindowFixture.h"
#include "figures/KeptFigure.h"
#include "measure/ui/FigureWindow.h"

namespace {

class WindowPlanimeter : public ::testing::Test {
  protected:
    void SetUp() override {
        f.services.figure = &figure;
        f.Start();
        f.window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(f.window.get()));
    }
    void TearDown() override { f.Stop(); }

    void Measure(int option) {
        f.Find<QRadioButton>(QStringLiteral("optMes(%1)").arg(option))->setChecked(true);
        QTest::mouseClick(f.Find<QAbstractButton>(QStringLiteral("cmdMes(0)")), Qt::LeftButton);
        Grid()->setFocus();
    }
    QWidget* Grid() { return f.Find<QWidget>(QStringLiteral("msgMei")); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(Grid(), key, modifiers);
    }
    // A w by h rectangle in counts (80 to the millimetre at the default
    // scale), picked and ended with the side switch.
    void Rectangle(int w, int h) {
        for (auto [x, y] : {std::pair{0, 0}, {w, 0}, {w, h}, {0, h}}) f.tablet.PushPick(x, y);
        f.Deliver();
        End();
    }
    void End() {
        f.tablet.PushSide();
        f.Deliver();
        ASSERT_EQ(f.window->Engine().points.lPointCount, 0);
    }
    const Figure& Shown() {
        f.window->RefreshFigure();
        return figure.View().ShownFigure();
    }
    QString Cell(int row, int col) { return f.window->Grid().TextMatrix(row, col); }
    QPoint Cursor() { return QPoint(f.window->Grid().Col(), f.window->Grid().Row()); }

    FigureWindow figure;  // outlives the window
    WindowFixture f;
};

}  // namespace

TEST_F(WindowPlanimeter, floor_less_its_stairwell_goes_into_one_cell_as_one_step) {
    Measure(1);  // 多点の面積
    Key(Qt::Key_F8);
    EXPECT_TRUE(Shown().summing);
    EXPECT_TRUE(figure.SumBox().isChecked());
    Rectangle(800, 800);  // 100
    Rectangle(800, 400);  // 50
    Key(Qt::Key_F8, Qt::ShiftModifier);
    Rectangle(400, 400);  // 25, a hole
    EXPECT_TRUE(Shown().status.endsWith(QStringLiteral("合算中　図形 3　合計 125.00")));
    EXPECT_EQ(Shown().listing,
              QStringList({QStringLiteral("1　+100.00"), QStringLiteral("2　+50.00"),
                           QStringLiteral("3　-25.00")}));
    EXPECT_EQ(Cell(1, 1), QString());
    EXPECT_EQ(f.Autosave(), QByteArray("<missing>"));

    Key(Qt::Key_F8);
    EXPECT_EQ(Cell(1, 1), QStringLiteral("125.00"));
    EXPECT_EQ(Cursor(), QPoint(2, 1));
    EXPECT_EQ(f.Autosave(), QByteArray("125.00\r\n"));
    EXPECT_FALSE(Shown().summing);
    EXPECT_FALSE(figure.SumBox().isChecked());
    // The cell keeps every figure of its sum, the stairwell as a hole.
    const auto* kept = dynamic_cast<const KeptFigure*>(f.window->Grid().Tag(1, 1).get());
    ASSERT_NE(kept, nullptr);
    ASSERT_EQ(kept->Figures().size(), 3u);
    EXPECT_EQ(kept->points[2].y, 800);
    EXPECT_EQ(kept->parts[0].points[2].y, 400);
    EXPECT_FALSE(kept->minus || kept->parts[0].minus);
    EXPECT_TRUE(kept->parts[1].minus);

    // The next sum starts with none of these.
    Key(Qt::Key_F8);
    Rectangle(400, 400);
    Key(Qt::Key_F8);
    const auto* next = dynamic_cast<const KeptFigure*>(f.window->Grid().Tag(1, 2).get());
    ASSERT_NE(next, nullptr);
    EXPECT_TRUE(next->parts.empty());
    EXPECT_TRUE(f.window->Undo());

    // One step of undo takes the whole sum back, figures and all.
    EXPECT_TRUE(f.window->Undo());
    EXPECT_EQ(Cell(1, 1), QString());
    EXPECT_EQ(f.window->Grid().Tag(1, 1), nullptr);
    EXPECT_FALSE(f.window->Undo());
}

TEST_F(WindowPlanimeter, the_figure_windows_box_and_keys_work_the_sum_and_distances_stay_out) {
    Measure(0);  // 二点間の距離
    figure.SumBox().click();
    EXPECT_FALSE(Shown().summing);
    EXPECT_FALSE(figure.SumBox().isChecked()) << "the box follows the refused sum";
    EXPECT_TRUE(Shown().status.contains(QStringLiteral("二点間の距離と座標点は合算しません")));

    Measure(3);  // 多点の距離
    figure.SumBox().click();
    EXPECT_TRUE(Shown().summing);
    QTest::keyClick(&figure.View(), Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_TRUE(Shown().status.contains(QStringLiteral("次の図形を差し引く")));
    Rectangle(800, 800);  // three sides: 30, minus
    QTest::keyClick(&figure.View(), Qt::Key_F8);
    EXPECT_EQ(Cell(1, 1), QStringLiteral("-30.00"));
}

TEST_F(WindowPlanimeter, stop_and_esc_ask_before_dropping_a_sums_figures) {
    Measure(1);
    Key(Qt::Key_F8);
    Rectangle(800, 800);
    auto* stop = f.Find<QAbstractButton>(QStringLiteral("cmdMes(1)"));
    const QString question =
        QStringLiteral("合算中の図形が 1 個あります。表に入れずに破棄してよろしいですか？");

    f.dialogs.AnswerNext(false);
    Key(Qt::Key_Escape);
    ASSERT_EQ(f.dialogs.shown.size(), 1u);
    EXPECT_EQ(f.dialogs.shown.back().text, question);
    f.dialogs.AnswerNext(false);
    QTest::mouseClick(stop, Qt::LeftButton);
    EXPECT_EQ(f.dialogs.shown.size(), 2u);
    EXPECT_TRUE(stop->isEnabled()) << "refused: the run goes on";
    EXPECT_TRUE(f.window->Engine().SumHoldsFigures());

    f.dialogs.AnswerNext(true);
    QTest::mouseClick(stop, Qt::LeftButton);
    EXPECT_FALSE(stop->isEnabled());
    EXPECT_FALSE(f.window->Engine().Sum().On());
    EXPECT_EQ(Cell(1, 1), QString());

    // Nor does the exit drop them without a word.
    Measure(1);
    Key(Qt::Key_F8);
    Rectangle(800, 800);
    f.dialogs.AnswerNext(false);
    QTest::mouseClick(f.Find<QAbstractButton>(QStringLiteral("cmdExit")), Qt::LeftButton);
    EXPECT_EQ(f.dialogs.shown.back().text, question);
    EXPECT_TRUE(f.window->isVisible());
    f.dialogs.AnswerNext(true);
    QTest::mouseClick(stop, Qt::LeftButton);
    f.dialogs.shown.clear();

    // Without a sum neither asks.
    Measure(1);
    Key(Qt::Key_Escape);
    QTest::mouseClick(stop, Qt::LeftButton);
    EXPECT_TRUE(f.dialogs.shown.empty());
}

TEST_F(WindowPlanimeter, a_lot_traced_three_times_gets_its_mean_and_a_wide_spread_is_highlighted) {
    auto* times = f.Find<QComboBox>(QStringLiteral("cmbKaisu"));
    ASSERT_NE(times, nullptr);
    EXPECT_EQ(times->currentText(), QStringLiteral("1"));
    times->setCurrentIndex(2);  // 3 times
    Measure(2);                 // なぞり面積
    const auto trace = [&](int w) {
        f.tablet.PushStroke({{0, 0}, {w, 0}, {w, 800}, {0, 800}});
        f.Deliver();
    };
    trace(800);  // 100
    trace(808);  // 101
    EXPECT_EQ(Cell(1, 1), QString());
    EXPECT_EQ(Shown().listing.value(0), QStringLiteral("1 回目 100.00　2 回目 101.00　…"));
    trace(824);  // 103
    EXPECT_EQ(Cell(1, 1), QStringLiteral("101.33"));
    // (103 - 100) / 101.33 is 2.96 %.
    EXPECT_TRUE(Shown().status.endsWith(QStringLiteral("平均 101.33　ばらつき 2.96 %")));
    EXPECT_TRUE(Shown().alert);
    // The next figure's first point ends the showing of the last mean.
    f.tablet.PushStroke({{0, 0}, {10, 0}});
    f.tablet.PushPick(0, 0);
    f.Deliver();
    EXPECT_FALSE(Shown().alert);
}

TEST_F(WindowPlanimeter, building_with_a_rounded_corner_is_picked_with_f7_and_drawn_as_an_arc) {
    Measure(1);
    // A semicircle of radius 10 mm on its diameter, picked as two arcs.
    f.tablet.PushPick(-800, 0);
    f.Deliver();
    Key(Qt::Key_F7);
    EXPECT_TRUE(Shown().status.contains(QStringLiteral("弧の上の点")));
    f.tablet.PushPick(-480, 640);
    f.tablet.PushPick(0, 800);
    f.Deliver();
    Key(Qt::Key_F7);
    f.tablet.PushPick(480, 640);
    f.tablet.PushPick(800, 0);
    f.Deliver();
    EXPECT_EQ(Shown().arcMiddles, std::vector<std::int32_t>({1, 3}));
    EXPECT_GT(figure.View().FigurePolyline().size(), 20) << "the arcs drawn along the circle";
    End();
    EXPECT_EQ(Cell(1, 1), QStringLiteral("157.08"));  // π·10²/2
}

TEST_F(WindowPlanimeter, repeat_count_is_kept_only_once_it_is_changed_and_comes_back) {
    const QString ini = f.Path(f.services.executableBaseName + QStringLiteral(".INI"));
    auto* times = f.Find<QComboBox>(QStringLiteral("cmbKaisu"));
    // In free space on its page: it covers no control of the design.
    for (QWidget* added : {static_cast<QWidget*>(times), f.Find<QWidget>("lblKaisu")}) {
        for (auto* other :
             added->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (other == times || other == f.Find<QWidget>("lblKaisu") || other->isHidden())
                continue;
            EXPECT_FALSE(added->geometry().intersects(other->geometry()))
                << added->objectName().toStdString() << " over "
                << other->objectName().toStdString();
        }
    }
    f.Stop();
    EXPECT_FALSE(ReadBytes(ini).contains("cmbKaisu")) << "once, as always: nothing written";

    f.Start();
    f.Find<QComboBox>(QStringLiteral("cmbKaisu"))->setCurrentIndex(4);
    f.Stop();
    EXPECT_TRUE(ReadBytes(ini).contains("cmbKaisu=4\r\n"));
    f.Start();
    EXPECT_EQ(f.Find<QComboBox>(QStringLiteral("cmbKaisu"))->currentText(), QStringLiteral("5"));
    EXPECT_EQ(f.window->Engine().Repeats().Wanted(), 1) << "read when a figure ends";
}
