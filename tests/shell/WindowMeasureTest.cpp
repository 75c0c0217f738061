// From the pen to the grid through the real window: the operator chooses a
// measurement and presses start, the scripted tablet posts its notification,
// and the value lands in the grid, the autosave file and the speaker. The
// engine's modes and calculations are tested in tests/measure; these tests
// keep the wiring of the window's buttons, boxes, keys and files.

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <tuple>

#include "FileBytes.h"
#include "QStringPrinter.h"
#include "WindowFixture.h"

namespace {

class WindowMeasure : public ::testing::TestWithParam<bool> {
  protected:
    bool Full() const { return GetParam(); }

    void SetUp() override {
        f.Start();
        f.window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(f.window.get()));
        f.sound.commands.clear();  // only what the measurements play counts
    }

    template <typename T = QWidget>
    T* Control(const QString& name) {
        T* w = f.Find<T>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QRadioButton* Option(int i) {
        return Control<QRadioButton>(QStringLiteral("optMes(%1)").arg(i));
    }
    QAbstractButton* MesButton(int i) {
        return Control<QAbstractButton>(QStringLiteral("cmdMes(%1)").arg(i));
    }

    // The operator clicks an option button, and then "計測開始" when asked.
    void ClickOption(int option, bool start = true) {
        QRadioButton* o = Option(option);
        QTest::mouseClick(o, Qt::LeftButton, Qt::NoModifier, QPoint(8, o->height() / 2));
        ASSERT_TRUE(o->isChecked());
        if (start) QTest::mouseClick(MesButton(0), Qt::LeftButton);
    }

    void PickSquare(int side) {
        for (auto [x, y] : {std::pair{0, 0}, {side, 0}, {side, side}, {0, side}})
            f.tablet.PushPick(x, y);
        f.Deliver();
    }

    QString Cell(int row, int col) { return f.window->Grid().TextMatrix(row, col); }
    QPoint Cursor() { return QPoint(f.window->Grid().Col(), f.window->Grid().Row()); }
    QStringList PrevPlay() const { return {QStringLiteral("prev"), QStringLiteral("play")}; }

    WindowFixture f{GetParam() ? FullEdition() : ReducedEdition()};
};

INSTANTIATE_TEST_SUITE_P(Editions, WindowMeasure, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "full" : "reduced"; });

TEST_P(WindowMeasure, picked_square_ended_by_side_switch_fills_the_cell_lists_and_plays) {
    ClickOption(1);  // 多点の面積
    PickSquare(800);
    EXPECT_EQ(f.sound.Plays(), 0);
    f.tablet.PushSide();
    f.Deliver();

    // Scale "10" over "800": 800 counts are 10 units, the square 100.
    EXPECT_EQ(Cell(1, 1), QStringLiteral("100.00"));
    EXPECT_EQ(Cursor(), QPoint(2, 1));  // along the row by default
    EXPECT_EQ(f.sound.commands, PrevPlay());
    EXPECT_EQ(ReadBytes(f.Path(QStringLiteral("Save.csv"))),
              Full() ? QByteArray("100.00\r\n") : QByteArray("<missing>"));

    auto* list = Control<QListView>(QStringLiteral("lstGetData"));
    ASSERT_EQ(list->model()->rowCount(), 4);
    EXPECT_EQ(list->model()->index(2, 0).data().toString(),
              QStringLiteral("取得座標データ   x=800  y=800"));
    EXPECT_EQ(list->currentIndex().row(), 3);  // the last line is brought into view
    EXPECT_FALSE(list->isVisibleTo(f.window.get()));
}

TEST_P(WindowMeasure, two_point_distance_follows_the_axis_choice) {
    Control<QLineEdit>(QStringLiteral("txtInput(0)"))->setText(QStringLiteral("1"));
    Control<QLineEdit>(QStringLiteral("txtInput(3)"))->setText(QStringLiteral("400"));
    ClickOption(0);  // 二点間の距離
    auto* axis = Control<QComboBox>(QStringLiteral("cmbNiten"));
    // whole 500 counts, 300 along X, 400 along Y
    for (auto [index, expected] : {std::pair{0, "1.25"}, {1, ".75"}, {2, "1.00"}}) {
        SCOPED_TRACE(index);
        axis->setCurrentIndex(index);
        const QPoint at = Cursor();
        f.tablet.PushPick(100, 100);
        f.tablet.PushPick(400, 500);
        f.Deliver();
        EXPECT_EQ(Cell(at.y(), at.x()), QString::fromLatin1(expected));
        EXPECT_EQ(Cursor(), at + QPoint(1, 0));
    }
    EXPECT_EQ(f.sound.Plays(), 0) << "picks carry no stroke end here";
}

TEST_P(WindowMeasure, f12_without_a_run_calculates_from_the_points_held_and_plays) {
    // Points are stored with no run going on; with no run since start-up the
    // figure is an area.
    PickSquare(800);
    EXPECT_TRUE(f.sound.commands.isEmpty());
    QTest::keyClick(Control(QStringLiteral("msgMei")), Qt::Key_F12);
    EXPECT_EQ(Cell(1, 1), QStringLiteral("100.00"));
    EXPECT_EQ(f.sound.commands, PrevPlay());
}

TEST_P(WindowMeasure, start_and_stop_swap_the_buttons_and_each_option_starts_its_own_run) {
    QAbstractButton* start = MesButton(0);
    QAbstractButton* stop = MesButton(1);
    QTest::mouseClick(stop, Qt::LeftButton);  // disabled: nothing happens
    EXPECT_TRUE(start->isEnabled());
    EXPECT_EQ(f.window->Engine().lMesMode, kMesNone);

    // option, lMesMode, library input mode, length
    for (auto [option, mesMode, libraryMode, length] : {std::tuple{0, kMesTwoPoint, 0, true},
                                                        {1, kMesPicked, 0, false},
                                                        {2, kMesTraced, 1, false},
                                                        {3, kMesPicked, 0, true},
                                                        {4, kMesTraced, 1, true},
                                                        {5, kMesCoordinate, 0, false}}) {
        if (option == 5 && !Full()) continue;
        SCOPED_TRACE(option);
        ClickOption(option);
        EXPECT_FALSE(start->isEnabled());
        EXPECT_TRUE(stop->isEnabled());
        EXPECT_EQ(f.window->Engine().lMesMode, mesMode);
        EXPECT_EQ(f.tablet.mode, libraryMode);
        EXPECT_EQ(f.window->Engine().bLengthMode, length);
        EXPECT_EQ(QApplication::focusWidget(), Control(QStringLiteral("msgMei")));

        QTest::mouseClick(stop, Qt::LeftButton);
        EXPECT_TRUE(start->isEnabled());
        EXPECT_FALSE(stop->isEnabled());
        EXPECT_EQ(f.window->Engine().lMesMode, kMesNone);
    }
}

TEST_P(WindowMeasure, calibration_writes_the_tablet_length_and_hides_its_notice) {
    f.Find<QTabWidget>(QStringLiteral("sstMenu"))->setCurrentIndex(1);
    QApplication::processEvents();
    auto* notice = Control(QStringLiteral("lblMsg(0)"));
    QTest::mouseClick(Control(QStringLiteral("cmdScale")), Qt::LeftButton);
    EXPECT_TRUE(notice->isVisibleTo(f.window.get()));
    EXPECT_EQ(f.window->Engine().lMesMode, kMesCalibration);

    f.tablet.PushPick(100, 200);
    f.Deliver();
    EXPECT_TRUE(notice->isVisibleTo(f.window.get())) << "one point is not enough";
    f.tablet.PushPick(340, 520);  // 240 across, 320 up: 400 counts
    f.Deliver();
    EXPECT_EQ(Control<QLineEdit>(QStringLiteral("txtInput(3)"))->text(), QStringLiteral("400.00"));
    EXPECT_FALSE(notice->isVisibleTo(f.window.get()));
    EXPECT_EQ(f.window->Engine().lMesMode, kMesNone);
    EXPECT_EQ(f.window->Grid().UsedRows(), 0) << "no value for the grid";
}

// The texts themselves are the engine's (tests/measure); here, that the
// window shows the chosen option's, the full edition's note naming the axis
// as it was when the option was chosen.
TEST_P(WindowMeasure, guidance_text_follows_the_chosen_option) {
    auto* help = Control<QLabel>(QStringLiteral("lblMesHelp"));
    ClickOption(1, false);
    const QString picked = help->text();
    EXPECT_FALSE(picked.isEmpty());
    ClickOption(0, false);
    EXPECT_NE(help->text(), picked);
    EXPECT_EQ(help->text().contains(QStringLiteral("「 通常 」")), Full());

    // The note warns of an axis-only distance: it follows every change at
    // once, not only when the option is chosen again.
    for (const int axis : {1, 2, 0}) {
        Control<QComboBox>(QStringLiteral("cmbNiten"))->setCurrentIndex(axis);
        EXPECT_EQ(
            help->text().contains(Control<QComboBox>(QStringLiteral("cmbNiten"))->currentText()),
            Full());
    }
}

// The coordinate mode exists in the full edition only.
TEST(WindowMeasureCoordinates, origin_pick_writes_zeros_and_later_picks_read_from_it) {
    WindowFixture f;
    f.Start();
    f.Find<QLineEdit>(QStringLiteral("txtInput(0)"))->setText(QStringLiteral("1"));
    f.Find<QLineEdit>(QStringLiteral("txtInput(3)"))->setText(QStringLiteral("400"));
    f.Find<QRadioButton>(QStringLiteral("optMes(5)"))->setChecked(true);
    f.Find<QAbstractButton>(QStringLiteral("cmdMes(0)"))->click();
    auto* originBox = f.Find<QCheckBox>(QStringLiteral("chkOrgPos"));
    const auto pick = [&f](int x, int y) {
        f.tablet.PushPick(x, y);
        f.Deliver();
    };
    const auto row = [&f](int r) {
        return QStringList{f.window->Grid().TextMatrix(r, 1), f.window->Grid().TextMatrix(r, 2)};
    };

    ASSERT_TRUE(originBox->isVisibleTo(f.window.get()));
    originBox->setChecked(true);
    pick(1000, 2000);
    EXPECT_EQ(row(1), QStringList({QStringLiteral(".00"), QStringLiteral(".00")}));
    EXPECT_FALSE(originBox->isChecked());
    EXPECT_EQ(ReadBytes(f.Path(QStringLiteral("Save.csv"))), QByteArray(".00,.00\r\n"));

    pick(1400, 2400);
    EXPECT_EQ(row(2), QStringList({QStringLiteral("1.00"), QStringLiteral("1.00")}));
    f.Find<QCheckBox>(QStringLiteral("chkZahyo(0)"))->setChecked(true);
    pick(1400, 2400);
    EXPECT_EQ(row(3), QStringList({QStringLiteral("-1.00"), QStringLiteral("1.00")}));
    EXPECT_EQ(f.window->Grid().Row(), 4);
    EXPECT_EQ(f.window->Grid().Col(), 1);
}

}  // namespace
