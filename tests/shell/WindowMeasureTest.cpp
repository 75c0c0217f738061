// From the pen to the grid through the real window: the operator chooses a
// measurement and presses start, the scripted tablet posts its notification,
// and the value lands in the grid, the autosave file and the speaker.

#include "WindowFixture.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

namespace {

bool Activate(QWidget& window) {
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

class WindowMeasure : public ::testing::TestWithParam<bool> {
protected:
    bool Full() const { return GetParam(); }

    void SetUp() override {
        f.Start();
        ASSERT_TRUE(Activate(*f.window));
        // Only what the measurements play counts.
        f.sound.commands.clear();
    }

    template <typename T = QWidget>
    T* Control(const QString& name) {
        T* w = f.Find<T>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QRadioButton* Option(int i) { return Control<QRadioButton>(QStringLiteral("optMes(%1)").arg(i)); }
    QAbstractButton* MesButton(int i) {
        return Control<QAbstractButton>(QStringLiteral("cmdMes(%1)").arg(i));
    }
    QLineEdit* Input(int i) { return Control<QLineEdit>(QStringLiteral("txtInput(%1)").arg(i)); }

    // The operator clicks an option button and then "計測開始".
    void StartRun(int option) {
        QRadioButton* o = Option(option);
        QTest::mouseClick(o, Qt::LeftButton, Qt::NoModifier, QPoint(8, o->height() / 2));
        ASSERT_TRUE(o->isChecked());
        MesButton(0)->click();
    }

    // The library posts its notification; the message loop delivers it.
    void Deliver() {
        f.tablet.Notify();
        QApplication::processEvents();
    }

    void PickSquare(int side) {
        f.tablet.PushPick(0, 0);
        f.tablet.PushPick(side, 0);
        f.tablet.PushPick(side, side);
        f.tablet.PushPick(0, side);
        Deliver();
    }

    QString Cell(int row, int col) { return f.window->Grid().TextMatrix(row, col); }
    QPoint Cursor() { return QPoint(f.window->Grid().Col(), f.window->Grid().Row()); }

    Edition edition = GetParam() ? FullEdition() : ReducedEdition();
    WindowFixture f{edition};
};

TEST_P(WindowMeasure, picked_square_ended_by_side_switch_fills_the_cell_and_plays) {
    StartRun(1);  // 多点の面積
    PickSquare(800);
    EXPECT_EQ(f.sound.Plays(), 0);
    f.tablet.PushSide();
    Deliver();

    // Scale "10" over "800": 800 counts are 10 units, the square 100.
    EXPECT_EQ(Cell(1, 1), QStringLiteral("100.00"));
    EXPECT_EQ(Cursor(), QPoint(2, 1));  // along the row by default
    EXPECT_EQ(f.sound.commands, QStringList({QStringLiteral("prev"), QStringLiteral("play")}));
    if (Full()) {
        EXPECT_EQ(FileBytes(f.Path(QStringLiteral("Save.csv"))), QByteArray("100.00\r\n"));
    } else {
        EXPECT_FALSE(QFile::exists(f.Path(QStringLiteral("Save.csv"))));
    }
}

TEST_P(WindowMeasure, every_received_point_is_listed) {
    StartRun(1);
    f.tablet.PushPick(12, 34);
    f.tablet.PushPick(-5, 6789);
    Deliver();
    auto* list = Control<QListWidget>(QStringLiteral("lstGetData"));
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("取得座標データ   x=12  y=34"));
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("取得座標データ   x=-5  y=6789"));
    EXPECT_FALSE(list->isVisibleTo(f.window.get()));
}

TEST_P(WindowMeasure, two_point_distance_follows_the_axis_choice) {
    Input(0)->setText(QStringLiteral("1"));
    Input(3)->setText(QStringLiteral("400"));
    StartRun(0);  // 二点間の距離
    const struct {
        int axis;
        const char* expected;
    } rows[] = {
        {0, "1.25"},  // 500 counts whole
        {1, ".75"},   // 300 counts along X
        {2, "1.00"},  // 400 counts along Y
    };
    auto* axis = Control<QComboBox>(QStringLiteral("cmbNiten"));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.axis);
        axis->setCurrentIndex(row.axis);
        const QPoint at = Cursor();
        f.tablet.PushPick(100, 100);
        f.tablet.PushPick(400, 500);
        Deliver();
        EXPECT_EQ(Cell(at.y(), at.x()), QString::fromLatin1(row.expected));
        EXPECT_EQ(Cursor(), at + QPoint(1, 0));
    }
    // Picks carry no stroke end here: the two-point distance plays nothing.
    EXPECT_EQ(f.sound.Plays(), 0);
}

TEST_P(WindowMeasure, f12_without_a_run_calculates_from_the_points_held) {
    // Points are stored even with no run going on; with no run since start-up
    // the figure is an area.
    PickSquare(800);
    EXPECT_TRUE(f.sound.commands.isEmpty());
    QTest::keyClick(Control(QStringLiteral("msgMei")), Qt::Key_F12);
    EXPECT_EQ(Cell(1, 1), QStringLiteral("100.00"));
    EXPECT_EQ(f.sound.commands, QStringList({QStringLiteral("prev"), QStringLiteral("play")}));
}

TEST_P(WindowMeasure, stopping_keeps_the_points_for_f12) {
    StartRun(3);  // 多点の距離
    f.tablet.PushPick(0, 0);
    f.tablet.PushPick(800, 0);
    f.tablet.PushPick(800, 600);
    Deliver();
    MesButton(1)->click();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F12);
    // An open path: 10 + 7.5, no way back to the first point.
    EXPECT_EQ(Cell(1, 1), QStringLiteral("17.50"));
    EXPECT_EQ(f.sound.Plays(), 1);
}

TEST_P(WindowMeasure, start_and_stop_swap_the_two_buttons) {
    QAbstractButton* start = MesButton(0);
    QAbstractButton* stop = MesButton(1);
    QTest::mouseClick(stop, Qt::LeftButton);  // disabled: nothing happens
    EXPECT_TRUE(start->isEnabled());
    EXPECT_EQ(f.window->Engine().lMesMode, kMesNone);

    QTest::mouseClick(start, Qt::LeftButton);
    EXPECT_FALSE(start->isEnabled());
    EXPECT_TRUE(stop->isEnabled());
    EXPECT_EQ(f.window->Engine().lMesMode, kMesTwoPoint);
    EXPECT_EQ(QApplication::focusWidget(), Control(QStringLiteral("msgMei")));

    QTest::mouseClick(stop, Qt::LeftButton);
    EXPECT_TRUE(start->isEnabled());
    EXPECT_FALSE(stop->isEnabled());
    EXPECT_EQ(f.window->Engine().lMesMode, kMesNone);
}

TEST_P(WindowMeasure, each_option_starts_its_own_kind_of_run) {
    const struct {
        int option;
        std::int32_t mesMode;
        std::int32_t libraryMode;
        bool length;
    } rows[] = {
        {0, kMesTwoPoint, 0, true}, {1, kMesPicked, 0, false}, {2, kMesTraced, 1, false},
        {3, kMesPicked, 0, true},   {4, kMesTraced, 1, true},  {5, kMesCoordinate, 0, false},
    };
    for (const auto& row : rows) {
        if (row.option == 5 && !Full()) continue;
        SCOPED_TRACE(row.option);
        MesButton(1)->click();
        StartRun(row.option);
        EXPECT_EQ(f.window->Engine().lMesMode, row.mesMode);
        EXPECT_EQ(f.tablet.mode, row.libraryMode);
        EXPECT_EQ(f.window->Engine().bLengthMode, row.length);
    }
}

TEST_P(WindowMeasure, choosing_an_option_during_a_run_restarts_it_in_the_new_mode) {
    StartRun(0);
    f.tablet.PushPick(10, 10);
    Deliver();
    ASSERT_EQ(f.window->Engine().points.lPointCount, 1);
    Control(QStringLiteral("cmdNextLine"))->setFocus();

    Option(2)->setChecked(true);  // なぞり面積
    EXPECT_EQ(f.window->Engine().lMesMode, kMesTraced);
    EXPECT_EQ(f.tablet.mode, 1);
    EXPECT_EQ(f.window->Engine().points.lPointCount, 0);
    EXPECT_FALSE(MesButton(0)->isEnabled());
    EXPECT_TRUE(MesButton(1)->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), Control(QStringLiteral("msgMei")));
}

TEST_P(WindowMeasure, choosing_an_option_with_no_run_only_changes_the_guidance) {
    const std::size_t modeCalls = f.tablet.setModeCalls.size();
    Option(3)->setChecked(true);
    EXPECT_EQ(f.window->Engine().lMesMode, kMesNone);
    EXPECT_EQ(f.tablet.setModeCalls.size(), modeCalls);
    EXPECT_TRUE(MesButton(0)->isEnabled());
}

TEST_P(WindowMeasure, traced_stroke_is_calculated_at_its_end_and_plays) {
    StartRun(2);  // なぞり面積
    f.tablet.PushStroke({{0, 0}, {800, 0}, {800, 800}, {0, 800}});
    Deliver();
    EXPECT_EQ(Cell(1, 1), QStringLiteral("100.00"));
    EXPECT_EQ(f.sound.Plays(), 1);
}

TEST_P(WindowMeasure, calibration_writes_the_tablet_length_and_hides_its_notice) {
    f.Find<QTabWidget>(QStringLiteral("sstMenu"))->setCurrentIndex(1);
    QApplication::processEvents();
    auto* notice = Control(QStringLiteral("lblMsg(0)"));
    QTest::mouseClick(Control(QStringLiteral("cmdScale")), Qt::LeftButton);
    EXPECT_TRUE(notice->isVisibleTo(f.window.get()));
    EXPECT_EQ(f.window->Engine().lMesMode, kMesCalibration);

    f.tablet.PushPick(100, 200);
    Deliver();
    EXPECT_TRUE(notice->isVisibleTo(f.window.get()));  // one point is not enough
    f.tablet.PushPick(340, 520);                        // 240 across, 320 up: 400 counts
    Deliver();
    EXPECT_EQ(Input(3)->text(), QStringLiteral("400.00"));
    EXPECT_FALSE(notice->isVisibleTo(f.window.get()));
    EXPECT_EQ(f.window->Engine().lMesMode, kMesNone);
    // The calibration writes no value into the grid.
    EXPECT_EQ(f.window->Grid().UsedRows(), 0);
}

TEST_P(WindowMeasure, guidance_text_follows_the_chosen_option) {
    const QString crlf = QStringLiteral("\r\n");
    const QString twoPoint = QStringLiteral("タブレットで、２点をクリックしてください。") + crlf +
                             QStringLiteral("２点目の後で、計算を行います。");
    const QString picked = QStringLiteral("タブレットで、多数の点をクリックしてください。") + crlf +
                           QStringLiteral("F12キーか、ペンのサイドスイッチで計算を行います。") +
                           crlf +
                           QStringLiteral("サイドスイッチは、ペンを浮かせたまま押してください。");
    const QString traced = QStringLiteral("タブレットでペンを押したまま、計る範囲をドラッグ") + crlf +
                           QStringLiteral("してください。ドラッグ終了後に計算を行います。");
    const QString coordinate = QStringLiteral("タブレットでクリックした点の座標を表示します。") +
                               crlf + QStringLiteral("ある点を原点にしたい場合は、") + crlf +
                               QStringLiteral("「次点を原点にする」をチェックしてください。");
    const QString note = crlf + crlf + QStringLiteral("※注意 設定は「 通常 」です。");
    const struct {
        int option;
        QString text;
    } rows[] = {
        {1, picked}, {2, traced}, {3, picked}, {4, traced}, {5, coordinate},
        {0, Full() ? twoPoint + note : twoPoint},
    };
    auto* help = Control<QLabel>(QStringLiteral("lblMesHelp"));
    for (const auto& row : rows) {
        if (row.option == 5 && !Full()) continue;
        SCOPED_TRACE(row.option);
        QRadioButton* o = Option(row.option);
        QTest::mouseClick(o, Qt::LeftButton, Qt::NoModifier, QPoint(8, o->height() / 2));
        EXPECT_EQ(help->text(), row.text);
    }

    // The note shows the axis as it was when the option was chosen.
    auto* axis = Control<QComboBox>(QStringLiteral("cmbNiten"));
    axis->setCurrentIndex(1);
    EXPECT_EQ(help->text(), Full() ? twoPoint + note : twoPoint);
    Option(1)->setChecked(true);
    Option(0)->setChecked(true);
    EXPECT_EQ(help->text(),
              Full() ? twoPoint + crlf + crlf + QStringLiteral("※注意 設定は「 横距離のみ （X軸） 」です。")
                     : twoPoint);
}

INSTANTIATE_TEST_SUITE_P(Editions, WindowMeasure, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "full" : "reduced"; });

// The coordinate mode exists in the full edition only.
class WindowMeasureCoordinates : public ::testing::Test {
protected:
    void SetUp() override {
        f.Start();
        f.Find<QLineEdit>(QStringLiteral("txtInput(0)"))->setText(QStringLiteral("1"));
        f.Find<QLineEdit>(QStringLiteral("txtInput(3)"))->setText(QStringLiteral("400"));
        f.Find<QRadioButton>(QStringLiteral("optMes(5)"))->setChecked(true);
        f.Find<QAbstractButton>(QStringLiteral("cmdMes(0)"))->click();
        originBox = f.Find<QCheckBox>(QStringLiteral("chkOrgPos"));
    }

    void Pick(int x, int y) {
        f.tablet.PushPick(x, y);
        f.tablet.Notify();
        QApplication::processEvents();
    }

    QString Cell(int row, int col) { return f.window->Grid().TextMatrix(row, col); }

    WindowFixture f;
    QCheckBox* originBox = nullptr;
};

TEST_F(WindowMeasureCoordinates, origin_pick_writes_zeros_and_clears_the_box) {
    ASSERT_TRUE(originBox->isVisibleTo(f.window.get()));
    originBox->setChecked(true);
    Pick(1000, 2000);
    EXPECT_EQ(Cell(1, 1), QStringLiteral(".00"));
    EXPECT_EQ(Cell(1, 2), QStringLiteral(".00"));
    EXPECT_EQ(f.window->Grid().Row(), 2);
    EXPECT_EQ(f.window->Grid().Col(), 1);
    EXPECT_FALSE(originBox->isChecked());
    EXPECT_EQ(FileBytes(f.Path(QStringLiteral("Save.csv"))), QByteArray(".00,.00\r\n"));
}

TEST_F(WindowMeasureCoordinates, later_picks_read_from_the_origin_with_axis_inversion) {
    originBox->setChecked(true);
    Pick(1000, 2000);
    Pick(1400, 2400);
    EXPECT_EQ(Cell(2, 1), QStringLiteral("1.00"));
    EXPECT_EQ(Cell(2, 2), QStringLiteral("1.00"));
    f.Find<QCheckBox>(QStringLiteral("chkZahyo(0)"))->setChecked(true);
    Pick(1400, 2400);
    EXPECT_EQ(Cell(3, 1), QStringLiteral("-1.00"));
    EXPECT_EQ(Cell(3, 2), QStringLiteral("1.00"));
    EXPECT_EQ(f.window->Grid().Row(), 4);
    EXPECT_EQ(f.window->Grid().Col(), 1);
}

}  // namespace
