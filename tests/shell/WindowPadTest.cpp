// The on-screen pad through the real window: every measurement done with the
// mouse, and undo of the last point from the pad's keys and button.

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cmath>
#include <functional>
#include <vector>

#include "FileBytes.h"
#include "grid/NumberText.h"
#include "pad/PadInput.h"
#include "PadTestSupport.h"
#include "QStringPrinter.h"
#include "editions/SideWindowSettingsFile.h"
#include "PadRig.h"
#include "WindowFixture.h"

namespace {

double Distance(FigurePoint a, FigurePoint b) {
    return std::hypot(double(b.x) - a.x, double(b.y) - a.y);
}

// The shoelace area of the polygon through the points, in counts squared.
double Area(const std::vector<FigurePoint>& p) {
    double sum = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const FigurePoint& b = p[(i + 1) % p.size()];
        sum += double(p[i].x) * b.y - double(b.x) * p[i].y;
    }
    return std::fabs(sum / 2);
}

}  // namespace

TEST(WindowPad, every_measurement_works_with_the_mouse_on_the_pad) {
    const std::vector<QPoint> square = {{10, 10}, {60, 10}, {60, 60}, {10, 60}};
    const auto squareArea = [&](PadRig& r) {
        std::vector<FigurePoint> c;
        for (const QPoint& p : square) c.push_back(r.Counts(p.x(), p.y()));
        return PadRig::Real(PadRig::Real(Area(c)));
    };
    const auto pathLength = [](PadRig& r, const std::vector<QPoint>& path) {
        double total = 0;
        for (std::size_t i = 1; i < path.size(); ++i)
            total += Distance(r.Counts(path[i - 1].x(), path[i - 1].y()),
                              r.Counts(path[i].x(), path[i].y()));
        return PadRig::Real(total);
    };
    struct Case {
        int option;
        // Draws on the pad; returns the values expected in cells (1,1), (1,2).
        std::function<std::vector<double>(PadRig&)> draw;
    };
    const std::vector<Case> cases = {
        {0,  // 二点間の距離
         [&](PadRig& r) {
             r.Click(10, 10);
             r.Click(40, 50);
             return std::vector{pathLength(r, {{10, 10}, {40, 50}})};
         }},
        {1,  // 多点の面積, ended by the right button
         [&](PadRig& r) {
             for (const QPoint& p : square) r.Click(p.x(), p.y());
             r.Click(100, 100, Qt::RightButton);
             return std::vector{squareArea(r)};
         }},
        {2,  // なぞり面積, ended by the release
         [&](PadRig& r) {
             r.Drag(square);
             return std::vector{squareArea(r)};
         }},
        {3,  // 多点の距離, ended by F12 on the pad
         [&](PadRig& r) {
             for (const QPoint& p : square) r.Click(p.x(), p.y());
             QTest::keyClick(r.Surface(), Qt::Key_F12);
             return std::vector{pathLength(r, square)};
         }},
        {4,  // なぞり距離
         [&](PadRig& r) {
             r.Drag({{10, 10}, {50, 10}, {50, 40}});
             return std::vector{pathLength(r, {{10, 10}, {50, 10}, {50, 40}})};
         }},
        {5,  // 座標点
         [](PadRig& r) {
             r.Click(30, 40);
             const FigurePoint p = r.Counts(30, 40);
             return std::vector{PadRig::Real(p.x), PadRig::Real(p.y)};
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        PadRig rig;
        rig.Choose(c.option);
        const std::vector<double> expected = c.draw(rig);
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(rig.Cell(1, int(i) + 1), FormatDecimals(expected[i], 2));
        EXPECT_TRUE(rig.Shown(0).points.empty()) << "the figure is cleared with the store";
    }
}

// Between picks on the pad the keyboard stays on the main window: its keys
// work there, and the pad's own (Backspace, Ctrl+Z, Ctrl+O) work from both.
// A pad closed with its own close box has three ways back: F11, which the
// key help names, the button on "その他の設定", and "計測開始", which has
// nothing to measure on without it.
TEST(WindowPad, a_closed_pad_comes_back_by_f11_its_button_and_the_start) {
    PadRig r;
    EXPECT_TRUE(r.f.Find<QLabel>(QStringLiteral("lblHelp"))->text().contains(QStringLiteral("F11")));
    const std::vector<std::function<void()>> ways = {
        [&] { QTest::keyClick(r.Grid(), Qt::Key_F11); },
        [&] {
            QTest::mouseClick(r.f.Find<QAbstractButton>(QStringLiteral("cmdShowFigure")),
                              Qt::LeftButton);
        },
        [&] { r.Choose(0); },
    };
    for (std::size_t i = 0; i < ways.size(); ++i) {
        SCOPED_TRACE(i);
        r.input->Window().close();
        ASSERT_FALSE(r.input->Window().isVisible());
        ways[i]();
        EXPECT_TRUE(r.input->Window().isVisible());
    }
}

TEST(WindowPad, the_keys_work_between_picks_and_drop_the_last_point_from_the_pad_or_the_window) {
    PadRig r;
    FakePadDialogs dialogs;
    r.input->Window().SetDialogs(&dialogs);
    r.Choose(1);  // 多点の面積
    QWidget* grid = r.Grid();
    const std::vector<QPoint> square = {{10, 10}, {60, 10}, {60, 60}, {10, 60}};
    for (const QPoint& p : square) r.Click(p.x(), p.y());
    r.Click(200, 150);  // a wrong fifth pick
    EXPECT_TRUE(r.Shown(5).closed);
    EXPECT_EQ(QApplication::focusWidget(), grid) << "a pick leaves the keyboard on the grid";
    EXPECT_EQ(QGuiApplication::focusWindow(), r.f.window->windowHandle());

    // The wrong pick goes with Ctrl+BackSpace, the grid's editor stays shut,
    // and the pad shows it at once.
    QTest::keyClick(grid, Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_FALSE(r.f.Find<QWidget>(QStringLiteral("txtForEdit"))->isVisible());
    std::vector<FigurePoint> counts;
    for (const QPoint& p : square) counts.push_back(r.Counts(p.x(), p.y()));
    const QString area = FormatDecimals(PadRig::Real(PadRig::Real(Area(counts))), 2);
    EXPECT_EQ(r.input->Window().View().ShownFigure().status,
              QStringLiteral("多点の面積　4点　面積 ") + area);
    QTest::keyClick(grid, Qt::Key_F12);
    EXPECT_EQ(r.Cell(1, 1), area);
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(r.f.window->Grid().Row(), 2) << "Enter goes to the next line";
    QTest::keyClick(grid, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(dialogs.filters.size(), 1) << "Ctrl+O opens a drawing on the pad";
    r.input->Window().SetDialogs(nullptr);

    // Backspace in the grid is its own key; F11 there brings a closed pad back.
    for (const QPoint& p : square) r.Click(p.x(), p.y());
    r.input->Window().close();
    QTest::keyClick(r.Grid(), Qt::Key_Backspace);
    QTest::keyClick(r.Grid(), Qt::Key_F11);
    EXPECT_EQ(r.f.window->Engine().points.lPointCount, 4);
    EXPECT_TRUE(r.input->Window().isVisible());
    QTest::mouseClick(&r.input->Window().UndoButton(), Qt::LeftButton);
    QTest::keyClick(r.Surface(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(r.Shown(2).status, QStringLiteral("多点の面積　2点　あと1点"));
    for (int i = 0; i < 3; ++i) QTest::keyClick(r.Surface(), Qt::Key_Backspace);
    EXPECT_EQ(r.f.window->Engine().points.lPointCount, 0) << "nothing below zero";

    // The pad outlives the window; its requests must not reach a window gone.
    r.f.window.reset();
    QTest::mouseClick(&r.input->Window().UndoButton(), Qt::LeftButton);
}

// The pad is the figure display: its keys and its box "合算" work the sum and
// the arcs as the main window's keys do.
TEST(WindowPad, the_pads_own_keys_and_sum_box_work_the_planimeter_functions) {
    PadRig r;
    r.Choose(1);  // 多点の面積
    PadWindow& pad = r.input->Window();
    QTest::keyClick(r.Surface(), Qt::Key_F8);
    const auto square = [&](int at, int side) {
        for (const QPoint& p : {QPoint(at, at), QPoint(at + side, at), QPoint(at + side, at + side),
                                QPoint(at, at + side)})
            r.Click(p.x(), p.y());
        r.Click(at, at, Qt::RightButton);
    };
    square(10, 40);
    QTest::keyClick(r.Surface(), Qt::Key_F8, Qt::ShiftModifier);
    square(20, 20);
    EXPECT_TRUE(QTest::qWaitFor([&] { return pad.SumBox().isChecked(); }, 1000));
    EXPECT_EQ(r.Cell(1, 1), QString()) << "held in the sum";
    const double big = PadRig::Real(PadRig::Real(
        Area({r.Counts(10, 10), r.Counts(50, 10), r.Counts(50, 50), r.Counts(10, 50)})));
    const double hole = PadRig::Real(PadRig::Real(
        Area({r.Counts(20, 20), r.Counts(40, 20), r.Counts(40, 40), r.Counts(20, 40)})));
    pad.SumBox().click();
    EXPECT_EQ(r.Cell(1, 1), FormatDecimals(big - hole, 2));

    r.Click(10, 10);
    QTest::keyClick(r.Surface(), Qt::Key_F7);
    r.Click(30, 20);
    r.Click(50, 10);
    EXPECT_EQ(r.Shown(3).arcMiddles, std::vector<std::int32_t>{1});
}

TEST(WindowPad,
     the_drawing_is_kept_beside_the_windows_settings_and_nothing_is_written_without_one) {
    QTemporaryDir drawings;
    const QString plan = drawings.filePath(QStringLiteral("plan.pdf"));
    ASSERT_TRUE(WriteA4Pdf(plan));
    FakePadDialogs dialogs;
    // Runs the window with the pad over a settings file of its own: the
    // pad's keys kept there, or none (a run of the window alone), and a
    // drawing opened, or none. The file's bytes at the end.
    enum class Pad { NotKept, Blank, Drawing };
    const auto run = [&](Pad kind) {
        PadRig r;
        PadWindow& pad = r.input->Window();
        SideWindowSettingsFile settings(r.f.window->SettingsPath());
        pad.SetDialogs(&dialogs);
        if (kind != Pad::NotKept) pad.SetSettings(&settings);
        if (kind == Pad::Drawing) {
            EXPECT_TRUE(OpenDrawingNow(pad, plan));
            // Kept once it has drawn.
            EXPECT_TRUE(QTest::qWaitFor([&] { return pad.Drawing()->Rendered(); }));
        }
        const QString path = r.f.window->SettingsPath();
        r.f.Stop();
        pad.SetSettings(nullptr);
        if (kind == Pad::Drawing) {
            // The next start finds the drawing through the same file.
            PadWindow again;
            again.SetDialogs(&dialogs);
            again.SetSettings(&settings);
            RestoreDrawingNow(again);
            EXPECT_TRUE(again.Drawing());
            again.SetSettings(nullptr);
        }
        return ReadBytes(path);
    };
    const QByteArray alone = run(Pad::NotKept);
    EXPECT_EQ(run(Pad::Blank), alone) << "an operator who never opens a drawing sees no new key";
    const QByteArray drawn = run(Pad::Drawing);
    EXPECT_TRUE(dialogs.notices.isEmpty());
    EXPECT_TRUE(drawn.contains("PadDrawing=" + QDir::toNativeSeparators(plan).toLocal8Bit()) ||
                drawn.contains("PadDrawing=" + plan.toLocal8Bit()));
    // The window's own keys are all there still (where the window stood
    // is its own affair).
    for (const QByteArray& line : alone.split('\n')) {
        if (line.contains('=') && !line.startsWith("x=") && !line.startsWith("y=")) {
            EXPECT_TRUE(drawn.contains(line)) << line.toStdString();
        }
    }
}

// What the pad asks before it keeps a drawing's path: the file's answer
// matches what it gives back.
TEST(WindowPad, the_settings_file_says_which_values_it_gives_back_whole) {
    QTemporaryDir dir;
    SideWindowSettingsFile settings(dir.filePath(QStringLiteral("Kalvor.INI")));
    for (const int length : {499, 500}) {
        SCOPED_TRACE(length);
        const QString value(length, u'a');
        settings.Write({{QStringLiteral("PadDrawing"), value}});
        EXPECT_EQ(settings.Holds(value), settings.Read(QStringLiteral("PadDrawing")) == value);
        EXPECT_EQ(settings.Holds(value), length == 499);
    }
}
